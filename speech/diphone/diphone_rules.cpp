#include "speech/diphone/diphone_rules.h"

#include "platform/base/paths.h"
#include "speech/diphone/diphone_chars.h"
#include "speech/diphone/text_lines.h"

namespace speech {
namespace {

unsigned char upper(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; }
unsigned char lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

// The word seen by the rules: positions 1..n, 0 and n + 1 its boundaries.
struct Word {
  std::string_view text;
  int n() const { return static_cast<int>(text.size()); }
  bool inside(int p) const { return p >= 1 && p <= n(); }
  unsigned char at(int p) const { return inside(p) ? static_cast<unsigned char>(text[p - 1]) : 0; }
  bool vowelOrMark(int p) const { return inside(p) && (isRuleVowel(at(p)) || isAccentMark(at(p))); }
  bool oneOf(int p, std::string_view set) const {
    return inside(p) && set.find(static_cast<char>(lower(at(p)))) != set.npos;
  }
};

bool rightHolds(const Word& w, std::string_view context, int cursor) {
  for (const char sc : context) {
    const unsigned char c = w.at(cursor);
    switch (sc) {
      case '#':  // one or more vowels or accent marks
        if (!w.vowelOrMark(cursor)) return false;
        while (w.vowelOrMark(cursor)) ++cursor;
        break;
      case '%':  // the end of the word
        if (w.inside(cursor)) return false;
        break;
      case '&':  // l m n r z
        if (!w.oneOf(cursor, "lmnrz")) return false;
        ++cursor;
        break;
      case '*':  // a consonant other than r and l, not taken
        if (!w.inside(cursor) || !isRuleConsonant(c) || w.oneOf(cursor, "rl")) return false;
        break;
      case '+':  // e or i, with its accent mark
        if (!w.oneOf(cursor, "ei")) return false;
        ++cursor;
        if (isAccentMark(w.at(cursor))) ++cursor;
        break;
      case '[':  // the end, or a consonant other than h, not taken
        if (w.inside(cursor) && (!isRuleConsonant(c) || w.oneOf(cursor, "h"))) return false;
        break;
      case '\\':  // an s, if any, is stepped over
        if (w.oneOf(cursor, "s")) ++cursor;
        break;
      default:
        if (!w.inside(cursor) || upper(c) != static_cast<unsigned char>(sc)) return false;
        ++cursor;
    }
  }
  return true;
}

bool leftHolds(const Word& w, std::string_view context, int cursor) {
  for (size_t i = context.size(); i-- > 0;) {
    const char sc = context[i];
    const unsigned char c = w.at(cursor);
    // A vowel of the class at the cursor, or an accent mark right after one:
    // how many letters that takes, 0 when neither.
    auto vowelSpan = [&](std::string_view vowels) {
      if (w.oneOf(cursor, vowels)) return 1;
      if (isAccentMark(c) && w.oneOf(cursor - 1, vowels)) return 2;
      return 0;
    };
    switch (sc) {
      case '#':  // one or more vowels or accent marks
        if (!w.vowelOrMark(cursor)) return false;
        while (w.vowelOrMark(cursor)) --cursor;
        break;
      case '%':  // the start of the word
        if (w.inside(cursor)) return false;
        break;
      case ']':  // a back vowel
        if (vowelSpan("ao") == 0) return false;
        cursor -= vowelSpan("ao");
        break;
      case '_':  // the start, or a vowel
        if (w.inside(cursor)) {
          if (vowelSpan("aeiou") == 0) return false;
          cursor -= vowelSpan("aeiou");
        }
        break;
      case '|':  // n r s
        if (!w.oneOf(cursor, "nrs")) return false;
        --cursor;
        break;
      default:
        if (!w.inside(cursor) || upper(c) != static_cast<unsigned char>(sc)) return false;
        --cursor;
    }
  }
  return true;
}

bool matches(const Word& w, const DiphoneRule& rule, int p) {
  for (size_t i = 0; i < rule.match.size(); ++i) {
    const int q = p + static_cast<int>(i);
    if (!w.inside(q) || upper(w.at(q)) != static_cast<unsigned char>(rule.match[i])) return false;
  }
  return leftHolds(w, rule.left, p - 1) &&
         rightHolds(w, rule.right, p + static_cast<int>(rule.match.size()));
}

// One rule line read into `rule`; an empty string when it reads, else why not.
std::string parseRule(std::string_view line, DiphoneRule& rule) {
  const size_t open = line.find('(');
  const size_t close = open == line.npos ? line.npos : line.find(')', open + 1);
  const size_t equals = close == line.npos ? line.npos : line.find('=', close + 1);
  const size_t bar = equals == line.npos ? line.npos : line.find('|', equals + 1);
  if (bar == line.npos) return "falta um dos delimitadores ( ) = |";
  rule.left = line.substr(0, open);
  rule.match = line.substr(open + 1, close - open - 1);
  rule.right = line.substr(close + 1, equals - close - 1);
  rule.output = line.substr(equals + 1, bar - equals - 1);
  if (rule.match.empty()) return "trecho vazio";
  const unsigned char first = static_cast<unsigned char>(rule.match[0]);
  if (first < 32 || first > 95) return "trecho come\xE7" "a por caractere fora de 32 a 95";
  if (rule.match.size() > kMaxRuleMatch) return "trecho com mais de 5 caracteres";
  if (rule.left.size() > kMaxRuleContext || rule.right.size() > kMaxRuleContext)
    return "contexto com mais de 5 caracteres";
  if (rule.output.size() > kMaxRuleOutput) return "sa\xED" "da com mais de 11 caracteres";
  return {};
}

}  // namespace

bool loadDiphoneRules(const std::string& hostPath, DiphoneRules& rules, std::vector<std::string>* problems) {
  for (auto& list : rules.byFirst) list.clear();
  std::vector<std::string> lines;
  if (!readTextLines(hostPath, lines)) {
    if (problems) problems->push_back(hostPath + ": arquivo ausente ou ileg\xEDvel");
    return false;
  }
  bool ok = true;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty() || line[0] == ';' || line.find_first_not_of(" \t") == line.npos) continue;
    DiphoneRule rule;
    const std::string why = parseRule(line, rule);
    if (!why.empty()) {
      ok = false;
      if (problems) problems->push_back(hostPath + ":" + std::to_string(i + 1) + ": " + why);
      continue;
    }
    rules.byFirst[static_cast<unsigned char>(rule.match[0]) - 32].push_back(std::move(rule));
  }
  return ok;
}

std::string applyDiphoneRules(const DiphoneRules& rules, std::string_view word, std::string* unhandled) {
  const Word w{word};
  std::string out = "[";
  int p = 1;
  while (p <= w.n()) {
    const unsigned char letter = w.at(p);
    const unsigned char c = upper(letter);
    const DiphoneRule* applied = nullptr;
    if (c >= 32 && c <= 95)
      for (const DiphoneRule& rule : rules.byFirst[c - 32])
        if (matches(w, rule, p)) {
          applied = &rule;
          break;
        }
    std::string output;
    if (applied) {
      output = applied->output;
    } else {
      output = " /_";
      output += static_cast<char>(c);
      if (unhandled) *unhandled += static_cast<char>(c);
    }
    if (isRuleVowel(letter) && letter == c)  // the stressed vowel
      for (char& o : output)
        if (isRuleVowel(static_cast<unsigned char>(o))) {
          o = static_cast<char>(upper(static_cast<unsigned char>(o)));
          break;
        }
    out += output;
    p += applied ? static_cast<int>(applied->match.size()) : 1;
    if (p <= w.n()) out += '/';
  }
  out += ']';
  return out;
}

}  // namespace speech
