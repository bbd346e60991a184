// The lines of the voice's text data files.
#pragma once
#include <string>
#include <vector>

namespace speech {

// The file's lines (a host path), without their LF or CR LF; a line is cut
// to `maxLength` bytes when given. False when the file cannot be read.
bool readTextLines(const std::string& hostPath, std::vector<std::string>& lines,
                   size_t maxLength = std::string::npos);

}  // namespace speech
