// First stage of the text front end: raw text to Portuguese words. Digits,
// symbols, acronyms and known abbreviations become words; letters, blanks and
// the punctuation later stages read stay.
#pragma once
#include <string>
#include <string_view>

#include "tts/abbreviations.h"

namespace tts {

// Any bytes give a defined result; the output grows at most linearly.
std::string normaliseText(std::string_view text, const AbbreviationTable& abbreviations);

}  // namespace tts
