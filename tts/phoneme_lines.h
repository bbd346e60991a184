// Coded tokens to the phoneme line list the prosody stage times and pitches.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "tts/exceptions.h"
#include "tts/letter_rules.h"
#include "tts/prosody_code.h"

namespace tts {

inline constexpr char kStressMark = '>';
inline constexpr char kDurationReset = '\xA8';  // ¨
inline constexpr std::string_view kSentencePause = "__";

// For each token: the marker ";code|text"; then "__" and an empty line for a
// sentence boundary, "_" and the mark for punctuation (a space gives nothing),
// or the word's phonemes after its exception and stress. Ends with "__", and
// joins words by liaison. Letters no rule took are added to `unhandled`.
PhonemeLines wordsToPhonemeLines(const std::vector<CodedToken>& tokens,
                                 const ExceptionTable& exceptions, const RuleTable& rules,
                                 std::string* unhandled = nullptr);

// Before a word that starts with a vowel sound (a e i o u w y), the previous
// word's final "r2" becomes "r" and its final "s2" becomes "z".
void applyLiaison(PhonemeLines& lines);

// A phoneme line's name without its ">" and ¨ prefixes.
std::string_view phonemeName(std::string_view line);

}  // namespace tts
