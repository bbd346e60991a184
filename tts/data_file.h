// Reading the voice's text data files, and reporting lines that do not read
// as their format says. The engine loads what it can; the build-time checker
// refuses any data file with a problem.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tts {

struct DataProblem {
  std::string file;  // as given to the loader
  size_t line;       // 1-based; 0 for the file as a whole
  std::string message;
};
using DataProblems = std::vector<DataProblem>;

// The lines of a file, without their CR LF or LF. The path is a system path
// (drive letter and backslashes allowed, platform::hostPath maps it) or a
// host path. False when the file cannot be read.
bool readDataLines(std::string_view path, std::vector<std::string>& lines);

// Text without leading and trailing blanks (space, tab, CR, LF).
std::string_view trimmed(std::string_view text);

void addProblem(DataProblems* problems, std::string_view file, size_t line, std::string message);

}  // namespace tts
