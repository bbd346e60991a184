// The program store: the script as up to 5000 raw text lines, numbered from
// 1. The text is the source of truth; what the run derives from it lives in
// the line index.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace engine {

constexpr int kMaxLines = 5000;
// Far more than 5000 lines of any real script take: a script file beyond it
// is refused before it fills the memory.
constexpr size_t kMaxScriptBytes = 16u << 20;

// Puts the text at that number and makes it the last line. False for a
// number outside 1 to 5000.
bool storeLine(std::string_view text, int number);

int lineCount();
void setLineCount(int count);

// Line n (1 to lineCount) as stored.
std::string_view lineText(int n);

// Counts changes, so that what was derived from the text knows when to
// derive it again.
unsigned storeVersion();

}  // namespace engine
