// The headless desktop: one window, the console, always in front and
// focused. Injected keys and clicks reach the console's own key queue
// through the handlers real keys go through; the console's title is the
// active window's and the only one window searches find.
#include "automation/desktops.h"

#include "automation/virtual_keys.h"
#include "console/keyboard.h"
#include "console/screen.h"
#include "platform/events.h"
#include "platform/platform.h"

namespace automation {
namespace {

// The headless console's one window handle.
constexpr WindowId kConsoleWindow = 1;

int platformKey(int key) {
  using namespace platform;
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return key;
  if (key >= kVkF1 && key < kVkF1 + 12) return kKeyF1 + (key - kVkF1);
  switch (key) {
    case kVkBack: return kKeyBackspace;
    case kVkTab: return kKeyTab;
    case kVkReturn: return kKeyEnter;
    case kVkEscape: return kKeyEscape;
    case kVkSpace: return kKeySpace;
    case kVkPrior: return kKeyPageUp;
    case kVkNext: return kKeyPageDown;
    case kVkEnd: return kKeyEnd;
    case kVkHome: return kKeyHome;
    case kVkLeft: return kKeyLeft;
    case kVkUp: return kKeyUp;
    case kVkRight: return kKeyRight;
    case kVkDown: return kKeyDown;
    case kVkInsert: return kKeyInsert;
    case kVkDelete: return kKeyDelete;
    case kVkShift: case kVkControl: case kVkMenu: return kKeyModifier;
    default: return kKeyOther;
  }
}

class HeadlessDesktop final : public Desktop {
 public:
  void sendKey(int key, bool down) override {
    if (key == kVkShift || key == kVkControl || key == kVkMenu) {
      (key == kVkShift ? mods_.shift : key == kVkControl ? mods_.ctrl : mods_.alt) = down;
    }
    if (key >= kCharKey) return charKey(static_cast<uint8_t>(key - kCharKey), down);
    const int k = platformKey(key);
    if (!down) return console::onKeyUp(k, mods_);
    console::onKeyDown(k, mods_, platform::isSystemKey(k, mods_));
    if (const int c = platform::controlChar(k, mods_); c >= 0) return console::onChar(static_cast<uint8_t>(c));
    if (mods_.ctrl || mods_.alt) return;
    // What a plain layout types for the key.
    if (k >= 'A' && k <= 'Z') console::onChar(static_cast<uint8_t>(mods_.shift ? k : k + 32));
    else if ((k >= '0' && k <= '9') || k == platform::kKeySpace) console::onChar(static_cast<uint8_t>(k));
  }
  void toggleNumLock() override {}
  // The layout composes what it types: the character arrives whole.
  void typeChar(uint8_t c) override { console::onChar(c); }
  void pressCharKey(uint8_t c) override { console::onChar(c >= 'A' && c <= 'Z' ? static_cast<uint8_t>(c + 32) : c); }
  void movePointer(int, int) override {}
  void leftButton(bool down) override {
    if (down) console::onMouseDown(platform::kMouseLeft);
  }
  void pointerOrigin(int& x, int& y) override { x = y = 0; }
  std::vector<WindowInfo> windows() override {
    console::ensureConsole();
    return {WindowInfo{kConsoleWindow, platform::backend().activeWindowTitle()}};
  }
  void act(WindowId, WindowAction action) override {
    switch (action) {
      case WindowAction::Close: console::closeConsole();
      case WindowAction::Normal:
      case WindowAction::Maximize: platform::backend().showWindow(true); break;
      case WindowAction::Minimize: platform::backend().showWindow(false); break;
    }
  }
  std::string activeTitle() override {
    console::ensureConsole();
    return platform::backend().activeWindowTitle();
  }
  // The console, always in front.
  WindowId activeWindowId() override { return platform::backend().windowHandle(); }
  void sync() override {}

 private:
  // Ctrl with "@" .. "_" gives the control characters 0 .. 31.
  void charKey(uint8_t c, bool down) {
    if (!down) return;
    if (mods_.ctrl && c >= 64 && c < 96) console::onChar(static_cast<uint8_t>(c - 64));
    else if (!mods_.ctrl && !mods_.alt) console::onChar(c);
  }

  platform::Mods mods_;
};

}  // namespace

std::unique_ptr<Desktop> makeHeadlessDesktop() { return std::make_unique<HeadlessDesktop>(); }

}  // namespace automation
