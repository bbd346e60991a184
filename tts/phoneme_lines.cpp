#include "tts/phoneme_lines.h"

#include "tts/chars.h"
#include "tts/stress.h"

namespace tts {
namespace {

// A line's prefixes, kept when its name changes.
std::string_view prefixOf(std::string_view line) {
  return line.substr(0, line.size() - phonemeName(line).size());
}

}  // namespace

std::string_view phonemeName(std::string_view line) {
  if (line.starts_with(kStressMark)) line.remove_prefix(1);
  if (line.starts_with(kDurationReset)) line.remove_prefix(1);
  return line;
}

PhonemeLines wordsToPhonemeLines(const std::vector<CodedToken>& tokens,
                                 const ExceptionTable& exceptions, const RuleTable& rules,
                                 std::string* unhandled) {
  PhonemeLines lines;
  lines.reserve(tokens.size() * 8);
  for (const CodedToken& token : tokens) {
    lines.push_back(";" + token.code + "|" + token.text);
    const std::string text = upperLatin1(token.text);
    if (text.empty()) {
      lines.emplace_back(kSentencePause);
      lines.emplace_back();
      continue;
    }
    if (isKeptPunctuation(static_cast<unsigned char>(text[0]))) {
      if (text[0] != ' ') lines.push_back(std::string("_") + text[0]);
      continue;
    }
    const std::string word = applyException(exceptions, text);
    const size_t stress = isUnstressedWord(word) ? 0 : stressPosition(word);
    const std::string missed = wordToPhonemes(rules, word, stress, lines);
    if (unhandled) *unhandled += missed;
  }
  lines.emplace_back(kSentencePause);
  applyLiaison(lines);
  return lines;
}

void applyLiaison(PhonemeLines& lines) {
  for (size_t i = 3; i + 1 < lines.size(); ++i) {
    if (!lines[i].starts_with(';')) continue;
    const std::string_view next = phonemeName(lines[i + 1]);
    if (next.empty() || std::string_view("aeiouwy").find(next[0]) == std::string_view::npos) continue;
    std::string& last = lines[i - 2];
    const std::string_view name = phonemeName(last);
    if (name == "r2") last = std::string(prefixOf(last)) + "r";
    else if (name == "s2") last = std::string(prefixOf(last)) + "z";
  }
}

}  // namespace tts
