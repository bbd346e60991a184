// The controls' beep: a refusal, or a signal such as a marked menu item.
#pragma once

namespace controls {

// Beeps, unless the user has already pressed the next key: that key would
// cut the beep at once, and the beep would throw it away with the others
// waiting, so the beep is left out rather than a key lost.
void beep();

}  // namespace controls
