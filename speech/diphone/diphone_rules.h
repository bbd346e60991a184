// Context-sensitive rules that rewrite a decomposed word into the phone
// string the diphone synthesizer speaks. One rule a line of "regras.rgr":
//   left context ( match ) right context = output |
// The notation is this voice's own: the text front end's rules look alike
// but read other letters, classes and symbols.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace speech {

struct DiphoneRule {
  std::string left;    // read right to left from just before the match
  std::string match;   // upper-case letters and accent marks it consumes
  std::string right;   // read left to right from just after the match
  std::string output;  // phones; a space inside starts a new unit
};

inline constexpr size_t kMaxRuleContext = 5;
inline constexpr size_t kMaxRuleMatch = 5;
inline constexpr size_t kMaxRuleOutput = 11;

// Rules filed by the first character of their match, codes 32 to 95, each
// list in file order.
struct DiphoneRules {
  std::array<std::vector<DiphoneRule>, 64> byFirst;
};

// Lines starting with ";" and blank lines are skipped. A line that is not a
// rule (a delimiter missing, a field too long, an empty match or one whose
// first character cannot be filed) is described in `problems`, and the file
// is refused: false, as when it cannot be read.
bool loadDiphoneRules(const std::string& hostPath, DiphoneRules& rules,
                      std::vector<std::string>* problems = nullptr);

// "[" + the outputs of the rules, joined by "/", + "]". The word is decomposed
// and lowered, its stressed vowel upper case. A letter no rule takes becomes
// its letter file (" /_" and the letter); such letters are appended to
// `unhandled` when given, so that the data can be checked.
std::string applyDiphoneRules(const DiphoneRules& rules, std::string_view word,
                              std::string* unhandled = nullptr);

}  // namespace speech
