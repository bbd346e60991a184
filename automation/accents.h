// Accented letters of Windows-1252 typed as an accent (a dead key of the
// layout) followed by their base letter.
#pragma once
#include <cstdint>

namespace automation {

// For a letter with grave, acute, circumflex, tilde or diaeresis: the accent
// character ("`", 0xB4, "^", "~", 0xA8) and the base letter in the same case.
// False for every other character (Ç and ç included).
bool decomposeAccent(uint8_t c, uint8_t& accent, uint8_t& base);

}  // namespace automation
