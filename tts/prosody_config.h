// The voice's prosody file (.pro): phoneme durations, word classes and the
// rules that give each word its three-digit prosody code. Three sections,
// each opened by a line [DURAÇÃO], [CHAVES] or [PROSÓDIA].
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "tts/data_file.h"

namespace tts {

struct PhonemeDuration {
  std::string name;  // at most 2 characters
  int ms;
};

// A keyword and its two-character class ("DE" is a preposition, say).
struct Keyword {
  std::string word;  // upper-cased
  std::string cls;
};

// Classes of the previous, current and next token (empty matches any) and
// the code they give: three digits, the first of which may be "?" (take the
// previous code's last digit), or empty for the default "555".
struct ProsodyRule {
  std::string previous, current, next;
  std::string code;
};

struct ProsodyConfig {
  std::vector<PhonemeDuration> durations;  // file order
  std::vector<Keyword> keywords;           // sorted by word
  std::vector<ProsodyRule> rules;          // file order
  int baseHertz = 230;
  std::array<int, 10> pitchPercent{};      // by code digit
};

inline constexpr std::string_view kUnknownWordClass = "XX";
inline constexpr std::string_view kDefaultProsodyCode = "555";

// Fails when the file cannot be read, when [PROSÓDIA] is missing, or on a line
// that cannot be read (a line without "=", a code that is not three digits, a
// HERTZ or TABHERTZ value that is not integers). The first problem carries the
// message to show the user.
bool loadProsody(std::string_view path, ProsodyConfig& config, DataProblems* problems = nullptr);

// The class of an upper-cased word, "XX" when it is no keyword.
std::string_view keywordClass(const ProsodyConfig& config, std::string_view word);

}  // namespace tts
