#include "tts/letter_rules.h"

#include "tts/chars.h"

namespace tts {
namespace {

// Takes the field up to `delimiter` from `rest`; empty, as every following
// field, when the delimiter is missing.
std::string_view takeField(std::string_view& rest, char delimiter, bool& missing) {
  if (missing) return {};
  const size_t at = rest.find(delimiter);
  if (at == std::string_view::npos) {
    missing = true;
    return {};
  }
  const std::string_view field = rest.substr(0, at);
  rest.remove_prefix(at + 1);
  return field;
}

std::string cutField(std::string_view field, size_t max, std::string_view name,
                     std::string_view path, size_t line, DataProblems* problems) {
  if (field.size() > max) {
    addProblem(problems, path, line,
               std::string(name) + " com mais de " + std::to_string(max) + " caracteres, cortado");
    field = field.substr(0, max);
  }
  return std::string(field);
}

bool rightContextHolds(std::string_view context, std::string_view word, size_t cursor) {
  const size_t n = word.size();
  for (const char sc : context) {
    const unsigned char s = static_cast<unsigned char>(sc);
    const bool inside = cursor < n;
    const unsigned char c = inside ? static_cast<unsigned char>(word[cursor]) : 0;
    switch (s) {
      case '#':  // a vowel
        if (!inside || !isRuleVowel(c)) return false;
        ++cursor;
        break;
      case '%':  // the end of the word
        if (inside) return false;
        break;
      case '&':  // L M N R Z
        if (!inside || !isSonorant(c)) return false;
        ++cursor;
        break;
      case '*':  // a consonant other than L and R, looked at but not taken
        if (!inside || !isRuleConsonant(c) || c == 'L' || c == 'R') return false;
        break;
      case '+':  // E I É Í
        if (!inside || !isFrontVowel(c)) return false;
        ++cursor;
        break;
      case '[':  // the end, or a consonant other than H, not taken
        if (inside && (!isRuleConsonant(c) || c == 'H')) return false;
        break;
      case '\\':  // an S, if there is one, is stepped over
        if (inside && c == 'S') ++cursor;
        break;
      default:
        if (!inside || c != s) return false;
        ++cursor;
    }
  }
  return true;
}

bool leftContextHolds(std::string_view context, std::string_view word, size_t matchStart) {
  // `before` letters lie before the cursor; the cursor's letter is word[before - 1].
  size_t before = matchStart;
  for (size_t i = context.size(); i > 0; --i) {
    const unsigned char s = static_cast<unsigned char>(context[i - 1]);
    const bool inside = before > 0;
    const unsigned char c = inside ? static_cast<unsigned char>(word[before - 1]) : 0;
    switch (s) {
      case '#':  // a vowel
        if (!inside || !isRuleVowel(c)) return false;
        --before;
        break;
      case '%':  // the start of the word
        if (inside) return false;
        break;
      case ']':  // A O Á Â Ó Ô
        if (!inside || !isBackVowel(c)) return false;
        --before;
        break;
      case '_':  // the start of the word, or a vowel
        if (inside) {
          if (!isRuleVowel(c)) return false;
          --before;
        }
        break;
      case '|':  // N R S
        if (!inside || (c != 'N' && c != 'R' && c != 'S')) return false;
        --before;
        break;
      default:
        if (!inside || c != s) return false;
        --before;
    }
  }
  return true;
}

}  // namespace

bool loadRules(std::string_view path, RuleTable& table, DataProblems* problems) {
  std::vector<std::string> lines;
  if (!readDataLines(path, lines)) {
    addProblem(problems, path, 0, "arquivo de regras ausente ou ileg\xEDvel");
    return false;
  }
  for (auto& list : table.byFirstLetter) list.clear();
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = trimmed(lines[i]);
    if (line.empty() || line[0] == ';') continue;
    std::string_view rest = line;
    bool missing = false;
    const std::string_view left = takeField(rest, '(', missing);
    const std::string_view match = takeField(rest, ')', missing);
    const std::string_view right = takeField(rest, '=', missing);
    const std::string_view output = takeField(rest, '|', missing);
    if (missing) addProblem(problems, path, i + 1, "faltam delimitadores ( ) = |: " + std::string(line));
    LetterRule rule{cutField(left, kMaxContext, "contexto esquerdo", path, i + 1, problems),
                    cutField(match, kMaxMatch, "trecho", path, i + 1, problems),
                    cutField(right, kMaxContext, "contexto direito", path, i + 1, problems),
                    cutField(output, kMaxOutput, "sa\xED" "da", path, i + 1, problems)};
    if (rule.match.empty()) {
      if (!missing) addProblem(problems, path, i + 1, "regra sem trecho, nunca usada");
      continue;
    }
    const unsigned char first = static_cast<unsigned char>(rule.match[0]);
    if (first < 32) {
      addProblem(problems, path, i + 1, "trecho come\xE7" "a com caractere de controle");
      continue;
    }
    table.byFirstLetter[first].push_back(std::move(rule));
  }
  return true;
}

bool ruleApplies(const LetterRule& rule, std::string_view word, size_t pos) {
  return word.substr(pos).starts_with(rule.match) && leftContextHolds(rule.left, word, pos) &&
         rightContextHolds(rule.right, word, pos + rule.match.size());
}

std::string wordToPhonemes(const RuleTable& table, std::string_view word, size_t stress,
                           PhonemeLines& lines) {
  std::string unhandled;
  std::string phoneme;
  bool stressWritten = stress < 1;
  for (size_t pos = 0; pos < word.size();) {
    const unsigned char c = static_cast<unsigned char>(word[pos]);
    const LetterRule* rule = nullptr;
    if (c >= 32) {
      for (const LetterRule& r : table.byFirstLetter[c]) {
        if (ruleApplies(r, word, pos)) {
          rule = &r;
          break;
        }
      }
    }
    if (!rule) {
      unhandled += static_cast<char>(c);
      ++pos;
      continue;
    }
    if (!rule->output.empty() && !stressWritten && pos + 1 >= stress) {
      phoneme += '>';
      stressWritten = true;
    }
    for (const char oc : rule->output) {
      if (oc == '&') {
        lines.push_back(std::move(phoneme));
        phoneme.clear();
      } else {
        phoneme += oc;
      }
    }
    if (!rule->output.empty()) {
      lines.push_back(std::move(phoneme));
      phoneme.clear();
    }
    pos += rule->match.size();
  }
  lines.push_back(std::move(phoneme));
  return unhandled;
}

}  // namespace tts
