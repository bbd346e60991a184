#include "tts/abbreviations.h"

#include "tts/chars.h"

namespace tts {

bool loadAbbreviations(std::string_view path, AbbreviationTable& table, DataProblems* problems) {
  std::vector<std::string> lines;
  if (!readDataLines(path, lines)) {
    addProblem(problems, path, 0, "arquivo de abreviaturas ausente ou ileg\xEDvel");
    return false;
  }
  table.entries.clear();
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = trimmed(lines[i]);
    if (line.empty() || line[0] == ';') continue;
    if (table.entries.size() == kMaxAbbreviations) {
      addProblem(problems, path, i + 1, "mais de 2000 abreviaturas; o resto foi ignorado");
      break;
    }
    const size_t eq = line.find('=');
    // Without "=" the key is empty and never matches a word.
    const std::string_view key = eq == std::string_view::npos ? "" : trimmed(line.substr(0, eq));
    std::string_view expansion = eq == std::string_view::npos ? line : trimmed(line.substr(eq + 1));
    if (key.empty()) addProblem(problems, path, i + 1, "linha sem abreviatura antes de \"=\"");
    if (expansion.size() > kMaxExpansion) {
      addProblem(problems, path, i + 1, "expans\xE3o com mais de 999 caracteres, cortada");
      expansion = expansion.substr(0, kMaxExpansion);
    }
    table.entries.push_back({upperLatin1(key), std::string(expansion)});
  }
  return true;
}

std::string_view lookupAbbreviation(const AbbreviationTable& table, std::string_view word) {
  if (word.empty()) return {};
  for (const Abbreviation& entry : table.entries) {
    if (entry.key.size() != word.size()) continue;
    bool equal = true;
    for (size_t i = 0; i < word.size() && equal; ++i)
      equal = upperLatin1(static_cast<unsigned char>(word[i])) ==
              static_cast<unsigned char>(entry.key[i]);
    if (equal) return entry.expansion;
  }
  return {};
}

}  // namespace tts
