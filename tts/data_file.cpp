#include "tts/data_file.h"

#include "platform/base/paths.h"

namespace tts {

bool readDataLines(std::string_view path, std::vector<std::string>& lines) {
  std::string contents;
  if (!platform::readWholeFile(platform::hostPath(path), contents)) return false;
  lines.clear();
  size_t start = 0;
  while (start < contents.size()) {
    size_t end = contents.find('\n', start);
    if (end == std::string::npos) end = contents.size();
    size_t stop = end;
    if (stop > start && contents[stop - 1] == '\r') --stop;
    lines.emplace_back(contents, start, stop - start);
    start = end + 1;
  }
  return true;
}

std::string_view trimmed(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

void addProblem(DataProblems* problems, std::string_view file, size_t line, std::string message) {
  if (problems) problems->push_back({std::string(file), line, std::move(message)});
}

}  // namespace tts
