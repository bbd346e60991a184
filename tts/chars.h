// Character classes of the Portuguese text front end, over Windows-1252 bytes.
// Normalisation sees mixed case; the letter-to-sound rules see upper case only,
// so their classes list capitals.
#pragma once
#include <string>
#include <string_view>

namespace tts {

// Letters a word is made of: A-Z, a-z and the accented letters Portuguese uses.
bool isWordLetter(unsigned char c);
// Consonant letters in either case, Ç Ñ included: an all-consonant word is spelled.
bool isConsonantLetter(unsigned char c);
// Punctuation the later stages read: space ! ( ) , . : ; ?
bool isKeptPunctuation(unsigned char c);

// Classes of the letter-to-sound rules, on upper-cased letters.
bool isRuleVowel(unsigned char c);      // A E I O U and their accented forms
bool isRuleConsonant(unsigned char c);  // B-Z consonants, Ç Ñ
bool isBackVowel(unsigned char c);      // A O Á Â Ó Ô
bool isFrontVowel(unsigned char c);     // E I É Í
bool isSonorant(unsigned char c);       // L M N R Z

// a-z become A-Z and every code above 223 loses 32, accented letters included.
unsigned char upperLatin1(unsigned char c);
std::string upperLatin1(std::string_view text);
// The inverse on letters: A-Z and the accented capitals À-Þ (not ×).
unsigned char lowerLatin1(unsigned char c);

}  // namespace tts
