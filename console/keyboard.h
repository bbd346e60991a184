// The key queue: every key press, typed character, mouse click and braille
// chord becomes one or two byte codes here, in the scheme of the PC's text
// mode keyboard: a character code, or 0 and a scan code for a special key.
#pragma once
#include <cstdint>
#include <string>

#include "platform/events.h"

namespace console {

constexpr int kKeyQueueSize = 64;

// Serves pending events, then tells whether a code is queued. Never waits.
bool keyPressed();

// Takes the first code, waiting for one when the queue is empty. A special
// key is read by two calls.
uint8_t readKey();

// Shift, Ctrl and Alt as they were when the key of the code last read went
// down, whether or not they are still held.
platform::Mods keyModifiers();

// Appends a code when there is room, with the modifiers of the code last
// read (a key taken and put back keeps them), and wakes a wait.
void pushKey(uint8_t code);

// The plain line read behind the console's input stream: keys until Enter,
// Backspace erases, at most n - 2 characters kept, echoed without speech.
// Returns the characters followed by CR LF.
std::string readLineBasic(int n = 128);

// The text form of one key for scripts: "a", "#13", "#0#61"; with the
// modifier prefix, Shift, Ctrl and Alt as "0"/"1" digits first ("100#13").
// `scan` is the second code of a special key, -1 otherwise.
std::string keyCodeText(uint8_t code, int scan, bool modifierPrefix);

// Event handlers, called by the console for the window's events.
void onKeyDown(int key, platform::Mods mods, bool system);
void onKeyUp(int key, platform::Mods mods);
void onChar(uint8_t ch);
void onMouseDown(int button, platform::Mods mods = {});
void onWheel(int direction, platform::Mods mods = {});
void onFocus(bool gained, bool buttonsDown);

// Ctrl+Break ends the program while the break check is on.
void setBreakCheck(bool on);

// While on, the characters taken are recorded in the transcript as "*", so
// that a password never reaches a file; control keys are recorded as usual.
void setSecretInput(bool on);

// Queue access for the console's own end and for the braille keyboard.
int queuedCount();
bool appendCode(uint8_t code);
bool appendExtended(uint8_t scan);
void drainKeys();

}  // namespace console
