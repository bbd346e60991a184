// The desktop scripts drive: keys and clicks injected into the system's
// input, the top-level windows of every program, the window in front. One
// implementation per outside world, chosen at first use: the headless one
// in the headless backend, X11 when a display answers, none otherwise (and
// then every command takes its failure path).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace automation {

using WindowId = uint64_t;

struct WindowInfo {
  WindowId id = 0;
  std::string title;  // UTF-8
};

enum class WindowAction { Close, Normal, Maximize, Minimize };

class Desktop {
 public:
  virtual ~Desktop() = default;

  // One key event. `key` is a virtual key, or kCharKey plus a character.
  virtual void sendKey(int key, bool down) = 0;
  // Flips Num Lock without a key event.
  virtual void toggleNumLock() = 0;
  // Types a character of 32..255 as the keyboard layout produces it; an
  // accented letter through the layout's dead key and its base letter.
  virtual void typeChar(uint8_t c) = 0;
  // Presses and releases the layout's key for an ASCII character without
  // any modifier, 1 ms after each event.
  virtual void pressCharKey(uint8_t c) = 0;
  virtual void movePointer(int x, int y) = 0;
  virtual void leftButton(bool down) = 0;
  // The screen position clicks of the window in front are relative to.
  virtual void pointerOrigin(int& x, int& y) = 0;

  // Windows that are shown or minimised and have a title, the top one first.
  virtual std::vector<WindowInfo> windows() = 0;
  // Close returns once the window has gone (or has had its time to go).
  virtual void act(WindowId window, WindowAction action) = 0;
  // The title of the window in front (UTF-8); empty when there is none.
  virtual std::string activeTitle() = 0;
  // The window in front; 0 when there is none.
  virtual WindowId activeWindowId() = 0;

  // Lets the injected events reach their windows before the next ones.
  virtual void sync() = 0;

  // Whether a window manager gives the focus back to a window when the user
  // returns to it; without one only programs move the focus.
  virtual bool managed() { return true; }
};

// The desktop of this run; nullptr when there is none.
Desktop* desktop();

// The title of the window in front, of any program (UTF-8): the desktop's
// when there is one, else the console's own while it has the focus.
std::string activeWindowTitle();

// The console's title while its window has the keyboard focus, else empty:
// another program's window in front gives nothing.
std::string focusedConsoleTitle();

}  // namespace automation
