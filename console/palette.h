// The console's 16 fixed colours and the colour map that chooses among them.
#pragma once
#include <cstdint>
#include <string_view>

#include "platform/backend.h"

namespace console {

// Palette entry 0..15; anything above gives black.
platform::Rgb paletteColour(int entry);

// Parses a TABCORES value into the map: up to 16 comma-separated whole
// numbers; reading stops at the first entry that is not one, which takes the
// value of its leading digits (0 if none; blanks before them are passed over
// but make the entry unreadable), and the entries after it keep their
// identity values.
void parseColourMap(std::string_view text, uint8_t map[16]);

}  // namespace console
