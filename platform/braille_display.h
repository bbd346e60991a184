// A refreshable braille display, reached through BRLTTY's BrlAPI in a module
// of its own (escuta_brlapi.so) loaded on first use, so that programs without
// a display start as before and nothing is said when there is none.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/events.h"

namespace platform {

class BrailleDisplay {
 public:
  virtual ~BrailleDisplay() = default;
  virtual int cells() const = 0;
  // Shows one pattern a cell (bit 0 dot 1 ... bit 7 dot 8), as dots, never
  // through the user's braille table; false once the display is gone.
  virtual bool write(const std::vector<uint8_t>& dots) = 0;
  // Takes the display (it is taken on opening) or gives it back to BRLTTY,
  // with its keys, while the window is out of focus; nothing may be written
  // while it is given back. False once the display is gone.
  virtual bool hold(bool held) = 0;
};

// The display, held for the window with the X window id `window` (0: no
// window), so that BRLTTY gives it to this program only while that window
// has the focus. Null without a server or a display, or in headless runs
// not given --braille. Its keys arrive as BrailleKey events.
BrailleDisplay* openBrailleDisplay(uint64_t window);

// Whether a display is open: its keys may still come when a key script ends.
bool brailleDisplayOpen();

// For the platform's start and its event loop: whether a headless run may
// take the display, and the next of its keys, when one has come.
void allowHeadlessBraille(bool allowed);
bool takeBrailleKey(Event& event);

// Inside the module: the display of the BrlAPI server that the environment
// names (BRLAPI_HOST, BRLAPI_AUTH), or null; keys go to `sink`, from a
// thread of its own.
using BrailleKeySink = void (*)(const BrailleKey& key);
struct BrailleModule {
  BrailleDisplay* (*open)(uint64_t window, BrailleKeySink sink);
};
inline constexpr char kBrailleModuleEntry[] = "escuta_brlapi_module";
using BrailleModuleEntry = const BrailleModule* (*)();

}  // namespace platform
