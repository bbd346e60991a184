#include "speech/diphone/diphone_stress.h"

#include <string_view>

#include "speech/diphone/diphone_chars.h"

namespace speech {
namespace {

bool oneOf(std::string_view set, char c) { return c != 0 && set.find(c) != set.npos; }

}  // namespace

void markStress(std::string& word, int vowels, bool accented) {
  const int n = static_cast<int>(word.size());
  if (accented || vowels == 0 || (vowels == 1 && word.back() != 'l')) return;
  // Positions 1..n as in the rule files; 0 outside the word.
  auto at = [&](int p) { return p >= 1 && p <= n ? word[p - 1] : '\0'; };
  auto consonant = [&](int p) { return isRuleConsonant(static_cast<unsigned char>(at(p))); };
  // A u after g or q is a glide, not the vowel of its syllable.
  auto silentU = [&](int p) { return at(p) == 'u' && oneOf("gq", at(p - 1)); };
  // State 8 looks past a closed syllable: ai-n-da, ra-i-nha.
  auto closedNext = [&](int p) {
    return (oneOf("lmnrz", at(p + 2)) && consonant(p + 3) && at(p + 3) != 'h') ||
           (at(p + 2) == 'n' && at(p + 3) == 'h');
  };
  int state = 0;
  int mark = 0;
  for (int p = n; p >= 1 && mark == 0; --p) {
    const char c = at(p);
    switch (state) {
      case 0:
        if (oneOf("lnrxz", c)) state = 1;
        else if (c == 'm') state = 2;
        else if (oneOf("iu", c)) state = 3;
        else if (c == 's') state = 4;
        else if (oneOf("aeo", c)) state = 5;
        break;
      case 1:
        if (isRuleVowel(static_cast<unsigned char>(c))) mark = p;
        break;
      case 2:
        if (oneOf("iu", c)) state = 3;
        else if (oneOf("ae", c)) state = 5;
        else if (c == 'o') mark = p;
        break;
      case 3:
        mark = consonant(p) || silentU(p) ? p + 1 : p;
        break;
      case 4:
        if (oneOf("aeo", c)) state = 5;
        else if (oneOf("iu", c)) state = 3;
        break;
      case 5:
        if (oneOf("aeo", c)) mark = p;
        else if (oneOf("iu", c)) state = 8;
        break;
      case 8:
        mark = consonant(p) || silentU(p) || closedNext(p) ? p + 1 : p;
        break;
    }
  }
  if (mark >= 1 && mark <= n && word[mark - 1] >= 'a' && word[mark - 1] <= 'z')
    word[mark - 1] = static_cast<char>(word[mark - 1] - 'a' + 'A');
}

}  // namespace speech
