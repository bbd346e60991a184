// Abbreviations that normalisation expands ("Sr." to "senhor"), loaded from
// the voice's .abr file.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "tts/data_file.h"

namespace tts {

struct Abbreviation {
  std::string key;        // upper-cased
  std::string expansion;
};

// Entries in file order; the first equal key wins.
struct AbbreviationTable {
  std::vector<Abbreviation> entries;
};

inline constexpr size_t kMaxAbbreviations = 2000;
inline constexpr size_t kMaxExpansion = 999;

// Lines are KEY=expansion; empty lines and lines starting with ";" are skipped.
// Reading stops at kMaxAbbreviations entries. False only when the file cannot
// be read; lines that do not fit the format are reported in `problems`.
bool loadAbbreviations(std::string_view path, AbbreviationTable& table,
                       DataProblems* problems = nullptr);

// The expansion of a word, compared without regard to case; empty when none.
std::string_view lookupAbbreviation(const AbbreviationTable& table, std::string_view word);

}  // namespace tts
