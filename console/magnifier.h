// The magnified line for low vision: a piece of the line being edited, drawn
// large at the top of the window around the cursor.
#pragma once
#include <string_view>

namespace console {

// Reads the BAIXAVISAO settings; with a factor above 0 the console is
// created at once with its large font.
void loadMagnifierSettings();
int magnifierFactor();

// Shows the piece of `text` around the 1-based position p. Nothing when off.
void showMagnifiedLine(std::string_view text, int p);
void hideMagnifiedLine();

}  // namespace console
