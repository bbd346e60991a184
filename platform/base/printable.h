// Messages on the terminal that repeat outside input (a key script's line,
// a file name, a setting, a script's text) are printed with that input made
// harmless: whatever was read can never drive the terminal.
#pragma once
#include <string>
#include <string_view>

namespace platform {

// The UTF-8 text with its control characters (C0, DEL and C1) and the bytes
// that are not UTF-8 written as \xNN.
std::string printable(std::string_view utf8);

// "program: message" and a line end on standard error, the message printable.
void printError(std::string_view program, std::string_view message);

}  // namespace platform
