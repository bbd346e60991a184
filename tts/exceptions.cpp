#include "tts/exceptions.h"

#include <algorithm>

#include "tts/chars.h"

namespace tts {
namespace {

bool allWordLetters(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return isWordLetter(static_cast<unsigned char>(c)); });
}

const ExceptionEntry* find(const ExceptionTable& table, std::string_view word) {
  const auto it = std::lower_bound(
      table.entries.begin(), table.entries.end(), word,
      [](const ExceptionEntry& e, std::string_view w) { return std::string_view(e.word) < w; });
  return it != table.entries.end() && it->word == word ? &*it : nullptr;
}

}  // namespace

bool loadExceptions(std::string_view path, ExceptionTable& table, DataProblems* problems) {
  std::vector<std::string> lines;
  if (!readDataLines(path, lines)) {
    addProblem(problems, path, 0, "arquivo de exce\xE7\xF5" "es ausente ou ileg\xEDvel");
    return false;
  }
  table.entries.clear();
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view raw = lines[i];
    if (raw.size() > kMaxExceptionLine) {
      addProblem(problems, path, i + 1, "linha com mais de 255 caracteres, cortada");
      raw = raw.substr(0, kMaxExceptionLine);
    }
    const std::string line = upperLatin1(trimmed(raw));
    if (line.empty() || line[0] == ';') continue;
    if (table.entries.size() == kMaxExceptions) {
      addProblem(problems, path, i + 1, "mais de 15000 exce\xE7\xF5" "es; o resto foi ignorado");
      break;
    }
    const size_t eq = line.find('=');
    // A line without "=" could never match a word: it is left out.
    if (eq == std::string::npos) {
      addProblem(problems, path, i + 1, "linha sem \"=\": " + line);
      continue;
    }
    const std::string_view word = trimmed(std::string_view(line).substr(0, eq));
    const std::string_view respelling = trimmed(std::string_view(line).substr(eq + 1));
    if (word.empty() || !allWordLetters(word)) {
      addProblem(problems, path, i + 1, "palavra vazia ou com caractere que n\xE3o \xE9 letra: " + line);
      continue;
    }
    if (!allWordLetters(respelling))
      addProblem(problems, path, i + 1, "grafia com caractere que n\xE3o \xE9 letra: " + line);
    table.entries.push_back({std::string(word), std::string(respelling)});
  }
  std::stable_sort(table.entries.begin(), table.entries.end(),
                   [](const ExceptionEntry& a, const ExceptionEntry& b) { return a.word < b.word; });
  for (size_t i = 1; i < table.entries.size(); ++i)
    if (table.entries[i].word == table.entries[i - 1].word)
      addProblem(problems, path, 0, "palavra repetida: " + table.entries[i].word);
  return true;
}

std::string applyException(const ExceptionTable& table, std::string_view word) {
  std::string_view stem = word;
  for (;;) {
    if (const ExceptionEntry* e = find(table, stem)) {
      std::string out = e->respelling;
      out += word.substr(stem.size());
      return out;
    }
    if (stem.empty() || (stem.back() != 'S' && stem.back() != 'M')) break;
    stem.remove_suffix(1);
  }
  return std::string(word);
}

}  // namespace tts
