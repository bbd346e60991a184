#include "tts/phoneme_list.h"

#include <algorithm>

#include "tts/chars.h"

namespace tts {

bool isPhonemeNameChar(unsigned char c) {
  const unsigned char u = upperLatin1(c);
  return (u >= 'A' && u <= 'Z') || u == '@' || u == '_' || u == '2';
}

bool loadPhonemeList(std::string_view path, PhonemeList& list, DataProblems* problems) {
  std::vector<std::string> lines;
  if (!readDataLines(path, lines)) {
    addProblem(problems, path, 0, "lista de fonemas ausente ou ileg\xEDvel");
    return false;
  }
  list.names.clear();
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = trimmed(lines[i]);
    if (line.empty() || line[0] == ';') continue;
    const std::string_view name = line.substr(0, line.find_first_of(" \t"));
    const bool valid = name.size() <= 2 && std::all_of(name.begin(), name.end(), [](char c) {
      return isPhonemeNameChar(static_cast<unsigned char>(c));
    });
    if (!valid) {
      addProblem(problems, path, i + 1, "nome de fonema inv\xE1lido: " + std::string(name));
      continue;
    }
    const std::string folded = upperLatin1(name);
    if (std::any_of(list.names.begin(), list.names.end(),
                    [&](const std::string& n) { return upperLatin1(n) == folded; })) {
      addProblem(problems, path, i + 1, "fonema repetido (mai\xFAsculas n\xE3o distinguem): " + std::string(name));
      continue;
    }
    list.names.emplace_back(name);
  }
  return true;
}

bool isListedPhoneme(const PhonemeList& list, std::string_view name) {
  return std::find(list.names.begin(), list.names.end(), name) != list.names.end();
}

}  // namespace tts
