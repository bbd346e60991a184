// Context-sensitive letter-to-sound rules: upper-cased words to phoneme names.
// Loaded from the .nrl file, one rule a line:
//   left context ( match ) right context = output |
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "tts/data_file.h"

namespace tts {

struct LetterRule {
  std::string left;    // read right to left from just before the match
  std::string match;   // the letters the rule consumes
  std::string right;   // read left to right from just after the match
  std::string output;  // phoneme names separated by "&"; may be empty (silent)
};

inline constexpr size_t kMaxContext = 5;
inline constexpr size_t kMaxMatch = 5;
inline constexpr size_t kMaxOutput = 11;

// For each character, the rules whose match begins with it, in file order.
struct RuleTable {
  std::array<std::vector<LetterRule>, 256> byFirstLetter;
};

// One text line handed between the stages: a word marker ";code|word", a
// phoneme name (prefixed by ">" where the stressed syllable begins, or by ¨
// to reset the duration), a pause "_" plus punctuation, the sentence pause
// "__", or an empty line ending a word.
using PhonemeLines = std::vector<std::string>;

// Comment lines start with ";". Fields are cut to their maximum length (an
// output to the 11 characters used); a
// missing delimiter leaves that field and the following ones empty; a rule
// with an empty match is never used. False only when the file cannot be read.
bool loadRules(std::string_view path, RuleTable& table, DataProblems* problems = nullptr);

// Does the rule apply at 0-based position `pos` of the upper-cased word?
bool ruleApplies(const LetterRule& rule, std::string_view word, size_t pos);

// Appends the phoneme lines of an upper-cased word and its empty end line.
// `stress` is the 1-based stressed position (0: none). Letters no rule takes
// are silent; they are returned, so that data writers can see them.
std::string wordToPhonemes(const RuleTable& table, std::string_view word, size_t stress,
                           PhonemeLines& lines);

}  // namespace tts
