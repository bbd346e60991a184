// The console's colours on a terminal: the nearest of the terminal's 8 or 16
// colours, of the 256-colour cube and grey ramp, or the colour itself.
#pragma once
#include "platform/backend.h"

namespace platform {

enum class ColourDepth { None, Eight, Sixteen, Palette256, Direct };

// The depth a terminal offers: its terminfo colour count and whether it
// says it takes direct colour (terminfo's RGB or Tc, or COLORTERM).
ColourDepth colourDepth(int terminfoColours, bool direct);

// The terminal's colour number for `c`: 0-15 in the ANSI order (black, red,
// green, yellow, blue, magenta, cyan, white, then the bright ones) for Eight
// and Sixteen, 16-255 for Palette256; -1 for None and Direct. A colour that
// is not black never becomes black, so text in dark grey stays visible.
int terminalColour(Rgb c, ColourDepth depth);

}  // namespace platform
