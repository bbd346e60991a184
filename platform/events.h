// What the outside world tells the program: keys, characters, mouse, window.
#pragma once
#include <cstdint>
#include <vector>

namespace platform {

// Keys by meaning, independent of the keyboard layout's characters. Letters and
// digits use their upper-case ASCII codes, the way the window system numbers them.
enum Key : int {
  kKeyNone = 0,
  kKeyBackspace = 8,
  kKeyTab = 9,
  kKeyEnter = 13,
  kKeyEscape = 27,
  kKeySpace = 32,
  // '0'..'9' and 'A'..'Z' stand for themselves, and so do '[', '\\' and ']',
  // whose keys make control codes with Ctrl (Ctrl+\\ reads a dial string).
  kKeyF1 = 0x100,  // F2..F12 follow
  kKeyF12 = kKeyF1 + 11,
  kKeyInsert,
  kKeyDelete,
  kKeyHome,
  kKeyEnd,
  kKeyPageUp,
  kKeyPageDown,
  kKeyUp,
  kKeyDown,
  kKeyLeft,
  kKeyRight,
  kKeyCancel,  // Ctrl+Break
  kKeyModifier,  // Shift, Ctrl or Alt pressed alone
  kKeyOther,
};

struct Mods {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  bool operator==(const Mods&) const = default;
};

enum class EventType {
  KeyDown,      // key, mods, system
  KeyUp,        // key, mods
  Char,         // ch: the translated character, Windows-1252
  MouseDown,    // button
  Wheel,        // wheel: +1 away from the user, -1 toward
  FocusGained,  // buttonsDown: a mouse button was down as focus came
  FocusLost,
  Expose,       // x, y, w, h: pixels to paint again
  Close,        // the user closed the window
  Wake,         // someone asked a wait to end; carries nothing
  InputEnd,     // headless: the key script is exhausted and a key is awaited
  TimeUp,       // headless: the run's time limit has passed
  AudioDone,    // block: the wave device has played or dropped it
  BrailleKey,   // braille: a key of the braille display
};

enum MouseButton : int { kMouseLeft = 0, kMouseRight = 1, kMouseMiddle = 2 };

// A key of the braille display, as BRLTTY reports it.
struct BrailleKey {
  enum class Kind { Key, Dots, Route, Other };
  Kind kind = Kind::Other;
  int key = kKeyNone;  // Key: Up, Down, Home, End, Enter, Backspace or Escape
  uint8_t dots = 0;    // Dots: bit 0 is dot 1 ... bit 7 dot 8
  bool space = false;  // Dots: typed with the space bar held
  int cell = 0;        // Route: the 0-based cell whose routing key was pressed
};

struct Event {
  EventType type = EventType::Wake;
  int key = kKeyNone;
  Mods mods;
  bool system = false;
  unsigned char ch = 0;
  int button = 0;
  int wheel = 0;
  bool buttonsDown = false;
  int x = 0, y = 0, w = 0, h = 0;
  int block = 0;
  BrailleKey braille;
};

// Keys the window system reports as "system keys": with Alt held, and F10.
bool isSystemKey(int key, Mods mods);

// The control character a key produces by itself, as the window system's
// translation makes it (Enter 13 or 10 with Ctrl, Backspace 8 or 127 with Ctrl,
// Esc 27, Tab 9, Ctrl+letter 1..26), or -1. Printable characters come from the
// layout's text input instead.
int controlChar(int key, Mods mods);

// The events one press of a named key makes, as the window system reports
// it: the key going down, the control character it gives, the key coming up
// (Ctrl+Break stays down).
void pressKey(int key, Mods mods, std::vector<Event>& out);

// The same for a key that makes a Windows-1252 character: its key, then the
// character the layout gives unless Ctrl or Alt change it. A capital letter
// adds Shift to `mods`.
void pressCharacter(unsigned char ch, Mods& mods, std::vector<Event>& out);

}  // namespace platform
