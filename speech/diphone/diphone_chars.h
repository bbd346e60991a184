// Character classes of the recorded-speech voice. The text rules see decomposed
// letters (a base letter and a separate accent mark); the phone strings they
// write use classes of their own, so each side has its set.
#pragma once

namespace speech {

// Decomposed text, as the diphone rules read it.
bool isRuleVowel(unsigned char c);       // A E I O U a e i o u
bool isRuleConsonant(unsigned char c);   // B-Z consonants, either case, H W Y included
bool isRuleLetter(unsigned char c);      // A-Z a-z
bool isAccentMark(unsigned char c);      // " ' ^ ` ~
bool isRulePunctuation(unsigned char c);  // space ! , . : ; ?

// Phone strings, as the diphone synthesizer reads them.
bool isPhoneVowel(unsigned char c);      // A E I O U a e i o u w y
bool isPhoneConsonant(unsigned char c);  // b c d f g j k l m n p q r s t v x z
bool isGlide(unsigned char c);           // w y
bool isNasalMark(unsigned char c);       // ^ ~
bool isStressedVowel(unsigned char c);   // A E I O U

}  // namespace speech
