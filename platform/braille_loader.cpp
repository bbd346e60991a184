// Loads the BrlAPI module when the console first asks for the display, and
// brings the display's keys from the module's thread into the event loop.
#include <deque>
#include <mutex>

#include "platform/braille_display.h"
#include "platform/platform.h"
#include "platform/shared_library.h"

namespace platform {
namespace {

struct BrailleState {
  bool headlessAllowed = false;
  BrailleDisplay* display = nullptr;
  std::mutex lock;
  std::deque<BrailleKey> keys;
};

BrailleState g_braille;

void keyCame(const BrailleKey& key) {
  {
    std::lock_guard guard(g_braille.lock);
    g_braille.keys.push_back(key);
  }
  backend().wake();
}

}  // namespace

BrailleDisplay* openBrailleDisplay(uint64_t window) {
  if (g_braille.display || (headless() && !g_braille.headlessAllowed)) return g_braille.display;
  const auto entry = reinterpret_cast<BrailleModuleEntry>(moduleEntry("escuta_brlapi.so", kBrailleModuleEntry));
  if (entry) g_braille.display = entry()->open(window, keyCame);
  return g_braille.display;
}

bool brailleDisplayOpen() { return g_braille.display != nullptr; }

void allowHeadlessBraille(bool allowed) { g_braille.headlessAllowed = allowed; }

bool takeBrailleKey(Event& event) {
  std::lock_guard guard(g_braille.lock);
  if (g_braille.keys.empty()) return false;
  event = Event{};
  event.type = EventType::BrailleKey;
  event.braille = g_braille.keys.front();
  g_braille.keys.pop_front();
  return true;
}

}  // namespace platform
