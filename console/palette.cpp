#include "console/palette.h"

namespace console {
namespace {
constexpr platform::Rgb kPalette[16] = {
    {0, 0, 0},       {0, 0, 255},     {0, 255, 0},     {0, 255, 255},   {255, 0, 0},     {142, 0, 142},
    {68, 34, 34},    {192, 192, 192}, {40, 40, 40},    {128, 128, 255}, {128, 255, 128}, {128, 255, 255},
    {255, 128, 128}, {255, 128, 255}, {255, 255, 0},   {255, 255, 255}};
}

platform::Rgb paletteColour(int entry) { return entry >= 0 && entry < 16 ? kPalette[entry] : platform::Rgb{}; }

void parseColourMap(std::string_view text, uint8_t map[16]) {
  for (int i = 0; i < 16; ++i) map[i] = static_cast<uint8_t>(i);
  size_t pos = 0;
  for (int i = 0; i < 16 && pos <= text.size(); ++i) {
    unsigned value = 0;
    size_t digits = 0;
    const size_t start = pos;  // blanks before the digits spoil the entry but not its value
    while (pos < text.size() && text[pos] == ' ') ++pos;
    const bool blanks = pos > start;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
      if (value < 1000) value = value * 10 + static_cast<unsigned>(text[pos] - '0');
      ++pos;
      ++digits;
    }
    // A map entry is a byte; values beyond 15 show black.
    map[i] = static_cast<uint8_t>(value > 255 ? 255 : value);
    const bool whole = !blanks && digits > 0 && (pos == text.size() || text[pos] == ',');
    if (!whole || pos == text.size()) return;
    ++pos;  // the comma
  }
}

}  // namespace console
