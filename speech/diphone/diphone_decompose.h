// The first step of the recorded-speech voice: accented letters written as a
// base letter plus an accent mark, so that rules need only plain letters.
#pragma once
#include <string>
#include <string_view>

namespace speech {

// Windows-1252 text decomposed: W/w next to a letter becomes u and Y/y i, an
// apostrophe after D/d goes, control codes go, codes from 128 take their
// decomposition (À is a`, Ç is ss). A character with an empty entry becomes
// " \0 ", a word of its own that the rules spell.
std::string decomposeText(std::string_view text);

}  // namespace speech
