// Where the recorded-speech voice puts the stress of a word spelled without
// an accent: the stressed vowel is upper-cased in place.
#pragma once
#include <string>

namespace speech {

// `word` is lowered and decomposed; `vowels` and `accented` describe the word
// as it was written (an exception's respelling keeps them). Nothing is marked
// for an accented word, a word without vowels, or one of a single vowel that
// does not end in l.
void markStress(std::string& word, int vowels, bool accented);

}  // namespace speech
