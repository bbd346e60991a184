// The interface every backend offers: one window of text cells, its input, the
// clipboard and the wave device. Backends are chosen from a table at start.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio_device.h"
#include "platform/events.h"
#include "platform/options.h"

namespace platform {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
};

struct FontSpec {
  std::string face;  // family name, UTF-8
  int width = 0;     // wanted cell width in pixels
  int height = 0;    // wanted cell height in pixels
  int weight = 700;
};

// Cell metrics of an opened font: a cell's width and height, the baseline's
// distance from the cell's top, and the horizontal offset of glyphs.
struct FontMetrics {
  int cellWidth = 0;
  int cellHeight = 0;
  int ascent = 0;
  int overhang = 0;
};

struct WindowSpec {
  std::string title;  // UTF-8
  int width = 0;      // client area in pixels
  int height = 0;
  int minWidth = 0, minHeight = 0;
  bool maximized = false;
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual const char* name() const = 0;

  // Pixel size of the desktop area not covered by panels.
  virtual Rect workArea() = 0;
  // Fonts are numbered from 0; -1 on failure.
  virtual int openFont(const FontSpec& spec, FontMetrics& metrics) = 0;
  virtual bool openWindow(const WindowSpec& spec) = 0;
  virtual void closeWindow() = 0;
  virtual void setTitle(const std::string& utf8) = 0;
  // Hides the window (off the screen and the task bar), or shows it at its
  // normal size and on top.
  virtual void showWindow(bool shown) = 0;
  // The mouse pointer in pixels: within the window's text area, or on the
  // whole screen.
  virtual void mousePosition(bool onScreen, int& x, int& y) = 0;
  // The title of the window in front, of any program (UTF-8); empty when
  // it cannot be known.
  virtual std::string activeWindowTitle() = 0;
  // Whether the window has the focus and how far its bottom edge is above the
  // bottom of the screen.
  virtual bool windowActive() = 0;
  virtual int bottomGap() = 0;
  // The window system's handle of the window (an X window id); 0 when it
  // has none.
  virtual uint64_t windowHandle() { return 0; }

  // Drawing goes to the window's image; present() shows what changed.
  virtual void fillRect(const Rect& r, Rgb colour) = 0;
  // Draws Windows-1252 text one character per cell of the font's width,
  // opaque, with the cell's top-left corner at (x, y).
  virtual void drawText(int font, int x, int y, std::string_view text, Rgb fg, Rgb bg) = 0;
  // Moves the pixels of `area` up by dy and fills the freed strip.
  virtual void scrollUp(const Rect& area, int dy, Rgb fill) = 0;
  virtual void present() = 0;
  // A bar that marks the cursor while a key read waits.
  virtual void setCaret(bool visible, const Rect& r) = 0;

  // Pictures: 0xAARRGGBB pixels, top row first; -1 on failure.
  virtual int createPicture(int width, int height, const std::vector<uint32_t>& pixels) = 0;
  virtual void drawPicture(int picture, int x, int y) = 0;
  virtual void destroyPicture(int picture) = 0;

  virtual void setClipboard(const std::string& utf8) = 0;
  virtual bool getClipboard(std::string& utf8) = 0;

  // The wave device; AudioDone events carry its finished blocks.
  virtual AudioDevice& audio() = 0;

  // Plays a wave image (RIFF header and PCM data) beside everything else,
  // once or in a loop until stopped; a new one replaces the old.
  void playTone(std::vector<uint8_t> waveImage, bool loop) { audio().playTone(std::move(waveImage), loop); }
  void stopTone() { audio().stopTone(); }

  // Waits up to timeoutMs (0: just look, -1: no limit) for an event.
  virtual bool waitEvent(Event& event, int timeoutMs) = 0;
  // Ends a waitEvent from any thread with a Wake event; does nothing once
  // the backend is shut down.
  virtual void wake() = 0;
  // The program is ending: closes the window, the sound and the libraries
  // they came from while those libraries are still loaded.
  virtual void shutdown() {}
  // Real keys can still come once a key script is exhausted.
  virtual bool hasRealKeyboard() const = 0;

  // Whether the console is drawn in the terminal the program runs in.
  virtual bool hasTerminal() const { return false; }
  // Gives the terminal to a program that `start` starts (its process id, or
  // 0 or less when it could not start) until that program ends; the window
  // is not active meanwhile. False when it did not start.
  virtual bool lendTerminal(const std::function<int()>& start) { return start() > 0; }
};

struct BackendEntry {
  const char* name;
  bool (*available)();
  std::unique_ptr<Backend> (*create)(const Options& options);
};

}  // namespace platform
