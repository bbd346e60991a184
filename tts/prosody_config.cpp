#include "tts/prosody_config.h"

#include <algorithm>
#include <charconv>

#include "tts/chars.h"

namespace tts {
namespace {

// Windows-1252: Ç \xC7, Ã \xC3, Ó \xD3, ç \xE7, ã \xE3, ó \xF3, é \xE9.
constexpr std::string_view kDurationSection = "[DURA\xC7\xC3O]";
constexpr std::string_view kKeywordSection = "[CHAVES]";
constexpr std::string_view kRuleSection = "[PROS\xD3" "DIA]";
constexpr std::string_view kBadPhoneme = "Configura\xE7\xE3o da pros\xF3" "dia: fonema errado: ";
constexpr std::string_view kBadKey = "Configura\xE7\xE3o da pros\xF3" "dia: chave errada: ";

struct Line {
  size_t number;
  std::string_view text;  // trimmed
};

// The lines of a section, from its header to the next line starting with "[";
// false when the header is missing.
bool sectionLines(const std::vector<std::string>& lines, std::string_view header,
                  std::vector<Line>& out) {
  size_t i = 0;
  while (i < lines.size() && trimmed(lines[i]) != header) ++i;
  if (i == lines.size()) return false;
  for (++i; i < lines.size() && !lines[i].starts_with('['); ++i) {
    const std::string_view text = trimmed(lines[i]);
    if (text.empty() || text[0] == ';' || text[0] == '*') continue;
    out.push_back({i + 1, text});
  }
  return true;
}

bool parseInt(std::string_view text, int& value) {
  text = trimmed(text);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

bool isProsodyCode(std::string_view code) {
  if (code.empty()) return true;
  if (code.size() != 3) return false;
  for (size_t i = 0; i < 3; ++i)
    if (!(code[i] >= '0' && code[i] <= '9') && !(i == 0 && code[i] == '?')) return false;
  return true;
}

std::string field(std::string_view text, size_t max) {
  text = trimmed(text);
  return std::string(text.substr(0, std::min(text.size(), max)));
}

bool loadDurations(const std::vector<Line>& lines, ProsodyConfig& config, std::string_view path,
                   DataProblems* problems) {
  for (const Line& line : lines) {
    const size_t eq = line.text.find('=');
    if (eq == std::string_view::npos) {
      addProblem(problems, path, line.number, std::string(kBadPhoneme) + std::string(line.text));
      return false;
    }
    int ms = 100;
    if (!parseInt(line.text.substr(eq + 1), ms)) {
      addProblem(problems, path, line.number, std::string(kBadPhoneme) + std::string(line.text));
      ms = 100;
    }
    config.durations.push_back({field(line.text.substr(0, eq), 2), ms});
  }
  return true;
}

bool loadKeywords(const std::vector<Line>& lines, ProsodyConfig& config, std::string_view path,
                  DataProblems* problems) {
  for (const Line& line : lines) {
    const size_t eq = line.text.find('=');
    if (eq == std::string_view::npos) {
      addProblem(problems, path, line.number, std::string(kBadKey) + std::string(line.text));
      return false;
    }
    Keyword k{upperLatin1(trimmed(line.text.substr(0, eq))),
              upperLatin1(field(line.text.substr(eq + 1), 2))};
    if (k.word.empty() || k.cls.size() != 2)
      addProblem(problems, path, line.number, std::string(kBadKey) + std::string(line.text));
    config.keywords.push_back(std::move(k));
  }
  std::stable_sort(config.keywords.begin(), config.keywords.end(),
                   [](const Keyword& a, const Keyword& b) { return a.word < b.word; });
  return true;
}

// HERTZ=n, TABHERTZ=ten integers, or previous|current|next=code.
bool loadRules(const std::vector<Line>& lines, ProsodyConfig& config, std::string_view path,
               DataProblems* problems) {
  for (const Line& line : lines) {
    const std::string text = upperLatin1(line.text);
    const std::string_view view = text;
    auto fail = [&] {
      addProblem(problems, path, line.number, std::string(kBadKey) + std::string(line.text));
      return false;
    };
    if (view.starts_with("HERTZ=")) {
      if (!parseInt(view.substr(6), config.baseHertz)) return fail();
      continue;
    }
    if (view.starts_with("TABHERTZ=")) {
      std::string_view rest = view.substr(9);
      for (size_t digit = 0; digit < 10; ++digit) {
        const size_t comma = rest.find(',');
        if ((comma == std::string_view::npos) != (digit == 9)) return fail();
        if (!parseInt(rest.substr(0, comma), config.pitchPercent[digit])) return fail();
        if (comma != std::string_view::npos) rest.remove_prefix(comma + 1);
      }
      continue;
    }
    const size_t eq = view.find('=');
    if (eq == std::string_view::npos) return fail();
    std::string_view classes = trimmed(view.substr(0, eq));
    std::string fields[3];
    for (std::string& f : fields) {
      const size_t bar = classes.find('|');
      f = field(classes.substr(0, bar), 3);
      classes = bar == std::string_view::npos ? std::string_view() : classes.substr(bar + 1);
    }
    std::string code(trimmed(view.substr(eq + 1)));
    if (!isProsodyCode(code)) return fail();
    config.rules.push_back({std::move(fields[0]), std::move(fields[1]), std::move(fields[2]),
                            std::move(code)});
  }
  return true;
}

}  // namespace

bool loadProsody(std::string_view path, ProsodyConfig& config, DataProblems* problems) {
  std::vector<std::string> lines;
  config = ProsodyConfig{};
  if (!readDataLines(path, lines)) {
    addProblem(problems, path, 0, "Configura\xE7\xE3o da pros\xF3" "dia n\xE3o foi achada");
    return false;
  }
  std::vector<Line> durations, keywords, rules;
  if (!sectionLines(lines, kDurationSection, durations))
    addProblem(problems, path, 0, "Dura\xE7\xE3o dos difones errada ou ausente");
  else if (!loadDurations(durations, config, path, problems))
    return false;
  if (!sectionLines(lines, kKeywordSection, keywords))
    addProblem(problems, path, 0, "Pros\xF3" "dia: palavras chaves ausentes");
  else if (!loadKeywords(keywords, config, path, problems))
    return false;
  if (!sectionLines(lines, kRuleSection, rules)) {
    addProblem(problems, path, 0, "Pros\xF3" "dia: especifica\xE7\xF5" "es ausentes");
    return false;
  }
  return loadRules(rules, config, path, problems);
}

std::string_view keywordClass(const ProsodyConfig& config, std::string_view word) {
  const auto it = std::lower_bound(
      config.keywords.begin(), config.keywords.end(), word,
      [](const Keyword& k, std::string_view w) { return std::string_view(k.word) < w; });
  if (it != config.keywords.end() && it->word == word) return it->cls;
  return kUnknownWordClass;
}

}  // namespace tts
