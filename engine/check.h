// A look over the stored program without running it: keywords the language
// does not know, and jumps to missing labels.
#pragma once
#include <string>
#include <vector>

namespace engine {

struct Interp;

struct Problem {
  int line;
  std::string message;  // Windows-1252
};

// Lines behind a one-line SE are looked at when the condition can be read
// without values; jumps whose label is in a variable are not followed.
std::vector<Problem> checkProgram(Interp& in);

}  // namespace engine
