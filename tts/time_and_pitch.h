// The prosody stage: each phoneme line gets its duration and pitch points,
// giving the synthesizer's lines "name ms [position pitch]" (for example
// "a 87 80 253"), with a bridge before each phoneme pair the voice lacks.
#pragma once
#include <string>
#include <string_view>

#include "tts/diphone_list.h"
#include "tts/letter_rules.h"
#include "tts/prosody_config.h"

namespace tts {

// The speech settings as factors: pitch (p + 11) / 11, duration 0.8 - s / 15.
double pitchFactorOf(int pitch);
double durationFactorOf(int speed);

// Word markers ";555|word" become comments ";word" and set the code whose
// digits pick the pitch at the word's start (50 %), its stressed phoneme
// (80 %) and its last phoneme (50 %). A stressed phoneme lasts 145 % of its
// table duration; before the stress, phonemes of long words are shortened.
PhonemeLines timeAndPitch(const PhonemeLines& lines, const ProsodyConfig& config, const DiphoneList& diphones,
                          double pitchFactor, double durationFactor);

// Before `current` (a phoneme name), appends "_ 50" or "y 50" to `out` when
// the pair previous-current is missing from the list; then previous becomes
// current. An empty `current` (a word's end) changes nothing.
void bridgeMissingDiphone(const DiphoneList& diphones, std::string& previous, std::string_view current,
                          PhonemeLines& out);

}  // namespace tts
