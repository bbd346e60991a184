#include "tts/chars.h"

#include <array>

namespace tts {
namespace {

// One bit per class, looked up by byte: the front end asks these per character.
enum : unsigned char {
  kWordLetter = 1,
  kConsonant = 2,
  kKeptPunct = 4,
  kRuleVowel = 8,
  kBackVowel = 16,
  kFrontVowel = 32,
  kSonorant = 64,
  kRuleConsonant = 128,
};

constexpr std::array<unsigned char, 256> buildClasses() {
  std::array<unsigned char, 256> t{};
  auto mark = [&t](std::string_view chars, unsigned char bits) {
    for (char c : chars) t[static_cast<unsigned char>(c)] |= bits;
  };
  mark("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", kWordLetter);
  // À Á Â Ã Ç É Ê Ì Í Ñ Ó Ô Õ Ù Ú Ü and their small forms.
  mark("\xC0\xC1\xC2\xC3\xC7\xC9\xCA\xCC\xCD\xD1\xD3\xD4\xD5\xD9\xDA\xDC"
       "\xE0\xE1\xE2\xE3\xE7\xE9\xEA\xEC\xED\xF1\xF3\xF4\xF5\xF9\xFA\xFC",
       kWordLetter);
  mark("BCDFGHJKLMNPQRSTVWXYZbcdfghjklmnpqrstvwxyz\xC7\xD1\xE7\xF1", kConsonant);
  mark("BCDFGHJKLMNPQRSTVWXYZ\xC7\xD1", kRuleConsonant);
  mark(" !(),.:;?", kKeptPunct);
  mark("AEIOU\xC0\xC1\xC2\xC3\xC9\xCA\xCC\xCD\xD3\xD4\xD5\xD9\xDA\xDC"
       "aeiou\xE0\xE1\xE2\xE3\xE9\xEA\xEC\xED\xF3\xF4\xF5\xF9\xFA\xFC",
       kRuleVowel);
  mark("AO\xC1\xC2\xD3\xD4", kBackVowel);    // A O Á Â Ó Ô
  mark("EI\xC9\xCD", kFrontVowel);           // E I É Í
  mark("LMNRZ", kSonorant);
  return t;
}

constexpr std::array<unsigned char, 256> kClasses = buildClasses();

bool has(unsigned char c, unsigned char bits) { return (kClasses[c] & bits) != 0; }

}  // namespace

bool isWordLetter(unsigned char c) { return has(c, kWordLetter); }
bool isConsonantLetter(unsigned char c) { return has(c, kConsonant); }
bool isKeptPunctuation(unsigned char c) { return has(c, kKeptPunct); }
bool isRuleVowel(unsigned char c) { return has(c, kRuleVowel); }
bool isRuleConsonant(unsigned char c) { return has(c, kRuleConsonant); }
bool isBackVowel(unsigned char c) { return has(c, kBackVowel); }
bool isFrontVowel(unsigned char c) { return has(c, kFrontVowel); }
bool isSonorant(unsigned char c) { return has(c, kSonorant); }

unsigned char upperLatin1(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c > 223) return static_cast<unsigned char>(c - 32);
  return c;
}

std::string upperLatin1(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(upperLatin1(static_cast<unsigned char>(c)));
  return out;
}

unsigned char lowerLatin1(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  return c;
}

}  // namespace tts
