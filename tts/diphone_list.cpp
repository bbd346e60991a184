#include "tts/diphone_list.h"

#include <algorithm>

#include "tts/chars.h"
#include "tts/phoneme_list.h"

namespace tts {
namespace {

size_t nameLength(std::string_view text) {
  size_t n = 0;
  while (n < text.size() && isPhonemeNameChar(static_cast<unsigned char>(text[n]))) ++n;
  return n;
}

}  // namespace

bool loadDiphoneList(std::string_view path, DiphoneList& list, DataProblems* problems) {
  std::vector<std::string> lines;
  list.names.clear();
  if (!readDataLines(path, lines)) {
    addProblem(problems, path, 0, "lista de difones ausente ou ileg\xEDvel");
    return false;
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = trimmed(lines[i]);
    if (line.empty() || line[0] == '!' || line[0] == '*' || line[0] == ';') continue;
    const size_t first = nameLength(line);
    const std::string_view rest = first < line.size() ? line.substr(first + 1) : std::string_view();
    const size_t second = nameLength(rest);
    if (first == 0 || second == 0) {
      addProblem(problems, path, i + 1, "difone sem dois nomes: " + std::string(line));
      continue;
    }
    list.names.push_back(upperLatin1(std::string(line.substr(0, first)) + "-" + std::string(rest.substr(0, second))));
  }
  std::sort(list.names.begin(), list.names.end());
  return true;
}

bool hasDiphone(const DiphoneList& list, std::string_view first, std::string_view second) {
  const std::string key = upperLatin1(std::string(first) + "-" + std::string(second));
  return std::binary_search(list.names.begin(), list.names.end(), key);
}

}  // namespace tts
