// The accessibility bus (AT-SPI2), served by a thread of its own that owns
// every libatspi call; the script's thread hands it requests and waits for
// each a bounded time, so a missing, slow or hung bus never holds a script.
#pragma once
#include <cstdint>
#include <vector>

#include "automation/accessible.h"

namespace automation {

// An event as the bus thread saw it: its code and a number standing for its
// object, which the bus thread keeps for the latest events only.
struct BusEvent {
  int code = 0;
  uint64_t object = 0;
};

// Whether the bus answers; the first call starts the bus thread and waits a
// bounded time for it. Without a session bus nothing is started at all.
bool accessibilityBusReady();

// Starts or stops listening for focus and window-activate events.
void listenForEvents(bool on);

// The events that came since the last call, oldest first. Each arrival
// wakes the program's event wait.
std::vector<BusEvent> takeBusEvents();

// Fills `p` from the event's object (the rectangle is kept when the object
// gives none). False when the object is gone or the bus did not answer.
bool captureEventObject(uint64_t object, AccessibleProperties& p);
// The same for the object at a screen point (the desktop when no window is there).
bool captureObjectAt(int x, int y, AccessibleProperties& p);

// Lets go of every object kept for the events.
void releaseEventObjects();

}  // namespace automation
