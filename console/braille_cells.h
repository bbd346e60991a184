// A screen row in Portuguese braille for the display line: the row is first
// transcribed (capital and number signs, lowered digits for ordinals,
// bracket groups, grave-accent escapes, symbols), then each character of
// the transcription becomes a six-dot cell.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace console {

struct BrailleRow {
  std::string text;            // the transcription, Windows-1252
  std::vector<uint8_t> source;  // for each of its characters, the 0-based column it came from
};

BrailleRow transcribeRow(std::string_view row);

// The dots of one character of a transcription: bit 0 is dot 1 ... bit 5 dot 6.
uint8_t cellDots(uint8_t c);

// The first `cells` cells of a transcription, blank beyond its end.
std::vector<uint8_t> rowDots(const std::string& text, int cells);

}  // namespace console
