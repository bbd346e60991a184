#include "automation/keystrokes.h"

#include "automation/desktop.h"
#include "automation/virtual_keys.h"
#include "console/screen.h"

namespace automation {
namespace {

// After each injected event the program serves its own waiting events, so
// that a key injected into the console is handled at once.
void served() {
  desktop()->sync();
  console::pumpMessages();
}

void keyEvent(int key, bool down) {
  desktop()->sendKey(key, down);
  served();
}

// The key that types a character, for Ctrl with "@" .. "_".
int keyOfChar(uint8_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
  return kCharKey + c;
}

}  // namespace

bool pressKey(int key, bool ctrl, bool shift, bool alt, int pauseMs) {
  Desktop* d = desktop();
  if (!d) return false;
  if (key == kVkNumLock) {
    d->toggleNumLock();
  } else {
    const bool held[] = {shift, ctrl, alt};
    const int modifier[] = {kVkShift, kVkControl, kVkMenu};
    for (int i = 0; i < 3; ++i) {
      if (held[i]) keyEvent(modifier[i], true);
    }
    keyEvent(key, true);
    keyEvent(key, false);
    for (int i = 0; i < 3; ++i) {
      if (held[i]) keyEvent(modifier[i], false);
    }
  }
  console::delayMs(pauseMs);
  return true;
}

bool typeChar(uint8_t c, int pauseMs) {
  Desktop* d = desktop();
  if (!d) return false;
  if (c < 32) {
    // CR is Ctrl+M, Tab Ctrl+I: the key of the character 64 above.
    pressKey(keyOfChar(static_cast<uint8_t>(c + 64)), true, false, false, pauseMs);
  } else {
    d->typeChar(c);
    served();
  }
  console::delayMs(pauseMs);
  return true;
}

bool typeText(std::string_view text, int pauseMs) {
  if (!desktop()) return false;
  for (const char c : text) typeChar(static_cast<uint8_t>(c), pauseMs);
  return true;
}

bool pressCharKey(uint8_t c) {
  Desktop* d = desktop();
  if (!d) return false;
  d->pressCharKey(c);
  served();
  return true;
}

bool clickAt(int x, int y, ClickMode mode) {
  Desktop* d = desktop();
  if (!d) return false;
  d->movePointer(x, y);
  served();
  for (int i = mode == ClickMode::Move ? 0 : mode == ClickMode::Double ? 2 : 1; i > 0; --i) {
    d->leftButton(true);
    served();
    d->leftButton(false);
    served();
  }
  return true;
}

bool pointerOrigin(int& x, int& y) {
  Desktop* d = desktop();
  if (!d) return false;
  d->pointerOrigin(x, y);
  return true;
}

}  // namespace automation
