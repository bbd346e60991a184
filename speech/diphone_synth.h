// The diphone synthesizer of the recorded-speech path, as the speech service
// uses it: its data loaded once at start, text turned into phone strings, and
// phone strings spoken through the wave player.
#pragma once
#include <string>
#include <string_view>

#include "speech/diphone_player.h"

namespace speech {

inline constexpr std::string_view kDiphoneDbName = "DIFONES2";

// Reads the letter-file directory (dirLetras) and the diphone directory
// (DIRDIFONES, by default c:\audiwin\som\difones) of section TRADUTOR, then
// the database DIFONES2.IND and .DIF, the rules "regras.rgr" and the
// exceptions "portug.exc" found there. 0 when loaded; 1 when a directory, the
// index or the data file is missing or the index is damaged; 2 when the rule
// or exception file cannot be read or holds a line that is not a rule.
int loadDiphoneSynth();

// The letter-file directory the load read (dirLetras), ending in a
// backslash: single characters, number words and touch tones play from it.
const std::string& letterFileDir();

// Frees what loadDiphoneSynth read and closes the data file.
void releaseDiphoneSynth();

// CORTEFON, SOBRAFON and INTERPAL of the current speed; all 0 until set.
void setDiphoneSpeed(const DiphoneSpeed& speed);

// Text to the phone string of the loaded rules (empty when not loaded).
std::string textToPhones(std::string_view text);

// Speaks a phone string and returns when all of it has played, or a key
// stopped it.
void speakPhones(std::string_view phones);

}  // namespace speech
