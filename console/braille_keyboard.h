// Six-key braille typing on the computer keyboard: F D S J K L are dots 1 to
// 6 and the space bar is the seventh key. Mode 1 types the cells' characters
// literally; mode 2 applies the text rules (capitals, numbers).
#pragma once
#include <cstdint>

namespace console {

// 0 off, 1 literal, 2 text; above 2 means 1. Each change is signalled with
// tones; turning an active mode off sounds 100 Hz.
void setBrailleMode(int mode);
int brailleMode();

// A key pressed in braille mode; false when it is not a braille key.
bool brailleKeyDown(int key);
// A space or letter key released (without Ctrl) in braille mode: when no
// braille key is held any more, the chord becomes a character.
void brailleKeyUp(int key);
// Any other key up clears the capital, capitals-lock and number flags.
void clearBrailleTextFlags();

// The character of a cell in the braille table (bit 0..5: dots 1..6).
uint8_t cellCharacter(uint8_t dots);

// The character of a chord (bit 0..5: dots 1..6, bit 6: space) after the
// mode's rules; 254 means nothing is typed. Changes the text-mode flags.
uint8_t chordCharacter(uint8_t chord);

}  // namespace console
