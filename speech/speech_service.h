// The speech service: the one place through which everything the system says
// is spoken. It speaks through a configured synthesizer, or else through the
// recorded path: numbers from recorded pieces, words through the diphone
// synthesizer, symbols from letter files. A key press stops it at once and
// stays queued for the next reader. Text is Windows-1252.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace speech {

// The speech layer's module start-ups, before anything is said: the wave
// player, the speech activity and the synthesizer dispatcher.
void startSpeechModules();

// Start-up (speed 0: from the configuration) and speed change. A failing load
// of the diphone voice is fatal: two lines say why, Enter ends the program.
void initSpeech(int speed, std::string_view soundDir);
// Waits for silence, stops and closes the synthesizer, frees the voice.
void shutdownSpeech();
// SINTCONFIG: a speed, and a synthesizer to open (or the recorded path).
void configureSynth(int speed, bool useSynth, int kind, int pitch, int synthSpeed, int voice);
// The per-speed settings of section SINTETIZADOR for speed n.
void readSpeedSettings(int n);

// Speaks a text; on the recorded path returns when it has been said or a key
// stopped it.
void speakText(std::string_view text);
// Spells character by character until a key is waiting.
void spellText(std::string_view text);
// Plays one character's letter file ("_65.wav" for A), or "_unknown.wav".
void speakChar(uint8_t c);
// Plays a recorded piece to its end: "_name" from the suite's letters
// directory, any other name from the program's sound directory.
void playPiece(std::string_view name);
bool pieceExists(std::string_view name);
// Reads one key (blocking), stops speech and speaks the key. Returns it.
uint8_t echoKey();

// Writes the text on the console and speaks it; sayLine ends the line too.
void sayAndShow(std::string_view text);
void sayLine(std::string_view text);
void sayNumber(int n);

// Pauses in 50 ms steps; a waiting key ends the pause.
void pauseSpeech(int ms);
// Touch tones for 0-9, * and #; a comma pauses a second.
void speakDialString(std::string_view text);
// The battery's charge, or that there is none, or that it is not charging.
void speakBattery();

// The program's sound directory and the suite's letters directory, each
// ending in a backslash (the first may be empty).
const std::string& soundDir();
const std::string& lettersDir();

// The echo settings read at start: FALANDO (each typed character is
// spoken) and FALARTUDO (deletions and the time are said in full).
bool keyEchoSetting();
bool sayEverything();

}  // namespace speech
