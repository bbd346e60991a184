// The program store: the script as up to 5000 raw text lines, numbered from
// 1. The text is the source of truth; what the run derives from it lives in
// the line index.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct Interp;

constexpr int kMaxLines = 5000;
// Far more than 5000 lines of any real script take: a script file beyond it
// is refused before it fills the memory.
constexpr size_t kMaxScriptBytes = 16u << 20;

struct Program {
  std::vector<std::string> lines;  // by number; grows as lines come
  int count = 0;
  unsigned version = 0;
};

// Puts the text at that number and makes it the last line. False for a
// number outside 1 to 5000.
bool storeLine(Interp& in, std::string_view text, int number);

int lineCount(const Interp& in);
void setLineCount(Interp& in, int count);

// Line n (1 to lineCount) as stored.
std::string_view lineText(const Interp& in, int n);

// Counts changes, so that what was derived from the text knows when to
// derive it again.
unsigned storeVersion(const Interp& in);

}  // namespace engine
