// Another program may destroy the console's X window outright (xdotool
// windowclose) instead of asking it to close; the program then ends as when
// its window is closed. SDL passes the news on only as a raw X event, and
// until then goes on calling X on the dead window (focus, touch grabs, the
// wake-ups of other threads), which X answers with errors that would end
// the program at once with status 1.
#pragma once
#include <cstdint>

namespace platform {

// Watches this X window for its end: the X server's notice that it has been
// destroyed, or an X error saying that it does not exist. From then on such
// errors are harmless.
void watchForDestroy(uint64_t window);
// Whether the window's end has been seen.
bool destroyNoticed();

}  // namespace platform
