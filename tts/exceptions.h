// Whole-word respellings applied before the letter-to-sound rules, for words
// whose spelling misleads them ("CINQUENTA=CINQÜENTA"). Loaded from the .exc file.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "tts/data_file.h"

namespace tts {

struct ExceptionEntry {
  std::string word;        // upper-cased
  std::string respelling;  // upper-cased ordinary spelling, not phonemes
};

// Sorted by the byte values of the words, for binary search.
struct ExceptionTable {
  std::vector<ExceptionEntry> entries;
};

inline constexpr size_t kMaxExceptions = 15000;
inline constexpr size_t kMaxExceptionLine = 255;

// Lines are WORD=RESPELLING, upper-cased as read; empty lines and lines
// starting with ";" are skipped. Reading stops at kMaxExceptions entries.
// False only when the file cannot be read.
bool loadExceptions(std::string_view path, ExceptionTable& table,
                    DataProblems* problems = nullptr);

// The respelling of an upper-cased word. A word not found loses a final S or M
// at a time and is searched again, the stripped letters going back after the
// respelling (so a plural shares its singular's entry); unchanged when nothing
// is found.
std::string applyException(const ExceptionTable& table, std::string_view word);

}  // namespace tts
