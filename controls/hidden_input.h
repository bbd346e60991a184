// A line typed without being seen or heard: for passwords.
#pragma once
#include <string>

namespace controls {

// Like the console's plain line read (Enter ends, Backspace erases, at most
// 126 characters), but each character takes its cell as a blank, whatever
// the colours, and nothing is spoken. Returns the characters alone.
std::string readHiddenLine();

}  // namespace controls
