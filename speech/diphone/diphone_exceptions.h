// Whole words the rules would get wrong, replaced before stress and rules
// ("portug.exc"): word = replacement, both decomposed and lowered (cafe').
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace speech {

struct DiphoneException {
  std::string word;
  std::string replacement;
};

// Sorted by the byte values of the words.
using DiphoneExceptions = std::vector<DiphoneException>;

inline constexpr size_t kMaxDiphoneExceptions = 15000;
inline constexpr size_t kMaxExceptionLine = 255;

// One pair a line, read as at most 255 characters; blank lines and lines
// starting with ";" are skipped. A line without "=" becomes the word plus "|"
// with an empty replacement, which no word can match; it is described in
// `problems`, as duplicates are, so that the build refuses such data. Stops
// after 15000 pairs. False only when the file cannot be read.
bool loadDiphoneExceptions(const std::string& hostPath, DiphoneExceptions& table,
                           std::vector<std::string>* problems = nullptr);

// The replacement of a word, if any. A word not found loses a final s or m at
// a time and is searched again, the stripped letters going back after the
// replacement (casas uses casa). Nothing when no form is found.
bool findException(const DiphoneExceptions& table, std::string_view word, std::string& replaced);

}  // namespace speech
