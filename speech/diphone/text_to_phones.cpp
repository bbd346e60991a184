#include "speech/diphone/text_to_phones.h"

#include <algorithm>

#include "speech/diphone/diphone_chars.h"
#include "speech/diphone/diphone_decompose.h"
#include "speech/diphone/diphone_stress.h"

namespace speech {
namespace {

bool isWordChar(unsigned char c) { return isRuleLetter(c) || isAccentMark(c); }

bool spelled(std::string_view word) {
  return word[0] == '\0' || std::all_of(word.begin(), word.end(), [](char c) {
           const unsigned char u = static_cast<unsigned char>(c);
           return isRuleConsonant(u) || isRulePunctuation(u);
         });
}

}  // namespace

std::string textToPhones(const DiphoneText& voice, std::string_view text, std::string* unhandled) {
  const std::string s = decomposeText(text);
  std::string out;
  size_t pos = 0;
  while (true) {
    while (pos < s.size() && s[pos] == ' ') ++pos;
    if (pos >= s.size()) break;
    std::string word;
    int vowels = 0;
    bool accented = false;
    if (isRuleLetter(static_cast<unsigned char>(s[pos]))) {
      for (; pos < s.size() && isWordChar(static_cast<unsigned char>(s[pos])); ++pos) {
        const unsigned char c = static_cast<unsigned char>(s[pos]);
        if (isRuleVowel(c)) ++vowels;
        if (!word.empty() && (c == '\'' || c == '`' || c == '^' || c == '~')) accented = true;
        word += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
      }
    } else {
      word = s[pos++];
    }
    std::string replaced;
    if (findException(voice.exceptions, word, replaced)) word = replaced;
    if (word.empty()) continue;  // replaced by nothing: a silent word
    markStress(word, vowels, accented);
    if (spelled(word)) {
      for (const char c : word) {
        out += "[ /_";
        out += c;
        out += ']';
      }
    } else {
      out += applyDiphoneRules(voice.rules, word, unhandled);
    }
  }
  return out;
}

}  // namespace speech
