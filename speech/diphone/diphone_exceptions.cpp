#include "speech/diphone/diphone_exceptions.h"

#include <algorithm>

#include "speech/diphone/text_lines.h"

namespace speech {
namespace {

bool byWord(const DiphoneException& a, const DiphoneException& b) { return a.word < b.word; }

const DiphoneException* find(const DiphoneExceptions& table, std::string_view word) {
  const auto it = std::lower_bound(table.begin(), table.end(), word,
                                   [](const DiphoneException& e, std::string_view w) { return e.word < w; });
  return it != table.end() && it->word == word ? &*it : nullptr;
}

}  // namespace

bool loadDiphoneExceptions(const std::string& hostPath, DiphoneExceptions& table,
                           std::vector<std::string>* problems) {
  table.clear();
  std::vector<std::string> lines;
  if (!readTextLines(hostPath, lines, kMaxExceptionLine)) {
    if (problems) problems->push_back(hostPath + ": arquivo ausente ou ileg\xEDvel");
    return false;
  }
  auto report = [&](size_t line, const std::string& why) {
    if (problems) problems->push_back(hostPath + ":" + std::to_string(line) + ": " + why);
  };
  for (size_t i = 0; i < lines.size() && table.size() < kMaxDiphoneExceptions; ++i) {
    const std::string& line = lines[i];
    if (line.empty() || line[0] == ';' || line.find_first_not_of(" \t") == line.npos) continue;
    const size_t equals = line.find('=');
    if (equals == line.npos) {
      report(i + 1, "linha sem \"=\"");
      table.push_back({line + "|", {}});
    } else {
      table.push_back({line.substr(0, equals), line.substr(equals + 1)});
    }
  }
  std::sort(table.begin(), table.end(), byWord);
  for (size_t i = 1; i < table.size(); ++i)
    if (table[i].word == table[i - 1].word) report(0, "palavra repetida: " + table[i].word);
  return true;
}

bool findException(const DiphoneExceptions& table, std::string_view word, std::string& replaced) {
  std::string stripped;
  while (!word.empty()) {
    if (const DiphoneException* e = find(table, word)) {
      replaced = e->replacement + stripped;
      return true;
    }
    const char last = word.back();
    if (last != 's' && last != 'm') break;
    stripped.insert(stripped.begin(), last);
    word.remove_suffix(1);
  }
  return false;
}

}  // namespace speech
