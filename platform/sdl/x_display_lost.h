// When the X server goes away (the session ended) the program ends as when
// its window is closed. Every X call after that would spin on the dead
// connection, so nothing of the window is cleaned up any more.
#pragma once

namespace platform {

// From now on a broken X connection ends the process with status 0.
void endWhenDisplayLost();
// Whether that is under way.
bool displayLost();

}  // namespace platform
