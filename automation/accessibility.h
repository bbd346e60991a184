// Following other programs through the accessibility bus: the ring of focus
// and window-activate events a script reads one at a time, and the
// properties of the object last captured. Without a bus every call takes its
// quiet path: nothing is followed, no event comes, a capture clears all.
#pragma once
#include "automation/accessible.h"

namespace automation {

// Starts and stops following the events; stopping also lets go of the
// current object.
void startAccessibilityEvents();
void stopAccessibilityEvents();

// Takes the oldest unread event and captures its object; false when none
// is waiting or its object is gone.
bool nextAccessibilityEvent();

// Captures the object at a screen point; false (with everything cleared)
// when there is no bus.
bool captureAccessibleAt(int x, int y);

// What the last capture gave (UTF-8 texts).
const AccessibleProperties& capturedAccessible();

}  // namespace automation
