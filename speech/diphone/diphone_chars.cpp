#include "speech/diphone/diphone_chars.h"

#include <string_view>

namespace speech {
namespace {

bool in(std::string_view set, unsigned char c) { return c != 0 && set.find(static_cast<char>(c)) != set.npos; }

}  // namespace

bool isRuleVowel(unsigned char c) { return in("AEIOUaeiou", c); }
bool isRuleLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isRuleConsonant(unsigned char c) { return isRuleLetter(c) && !isRuleVowel(c); }
bool isAccentMark(unsigned char c) { return in("\"'^`~", c); }
bool isRulePunctuation(unsigned char c) { return in(" !,.:;?", c); }

bool isPhoneVowel(unsigned char c) { return in("AEIOUaeiouwy", c); }
bool isPhoneConsonant(unsigned char c) { return in("bcdfgjklmnpqrstvxz", c); }
bool isGlide(unsigned char c) { return in("wy", c); }
bool isNasalMark(unsigned char c) { return in("^~", c); }
bool isStressedVowel(unsigned char c) { return in("AEIOU", c); }

}  // namespace speech
