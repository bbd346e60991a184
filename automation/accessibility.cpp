#include "automation/accessibility.h"

#include <cstdint>

#include "automation/atspi_bus.h"
#include "console/screen.h"

namespace automation {
namespace {

constexpr int kRingSize = 100;

// Written and read on the script's thread only: events reach it through the
// program's event queue (the bus thread wakes it), never from the bus thread.
struct Followed {
  BusEvent ring[kRingSize];
  int write = 0;
  int read = 0;
  bool following = false;
  AccessibleProperties captured;
};

Followed g;

// Moves the events that came into the ring. As the ring has always been,
// 100 unread events make it look empty again.
void takeInEvents() {
  for (const BusEvent& e : takeBusEvents()) {
    if (!g.following) continue;
    g.ring[g.write] = e;
    g.write = (g.write + 1) % kRingSize;
  }
}

}  // namespace

void startAccessibilityEvents() {
  if (g.following || !accessibilityBusReady()) return;
  console::setWakeHook(takeInEvents);
  g.following = true;
  listenForEvents(true);
}

void stopAccessibilityEvents() {
  if (!g.following) return;
  listenForEvents(false);
  takeInEvents();
  g.following = false;
  releaseEventObjects();
}

bool nextAccessibilityEvent() {
  console::pumpMessages();
  takeInEvents();
  bool captured = false;
  if (g.read != g.write) {
    const BusEvent e = g.ring[g.read];
    g.read = (g.read + 1) % kRingSize;
    captured = captureEventObject(e.object, g.captured);
  }
  console::pumpMessages();
  return captured;
}

bool captureAccessibleAt(int x, int y) {
  if (captureObjectAt(x, y, g.captured)) return true;
  g.captured = AccessibleProperties{};
  return false;
}

const AccessibleProperties& capturedAccessible() { return g.captured; }

}  // namespace automation
