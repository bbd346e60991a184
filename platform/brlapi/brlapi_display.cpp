// The braille display of the BrlAPI server the environment names (BRLAPI_HOST
// and BRLAPI_AUTH, else the local BRLTTY). The program holds it in tty mode on
// its window's path, so that BRLTTY, told of the X focus by xbrlapi, gives it
// the display only while that window has the focus and hands it back to the
// user's screen reader otherwise. It also leaves tty mode itself while the
// window is out of focus: xbrlapi's focus counts only below the X server's
// virtual terminal, which BRLTTY without a screen driver, or an X server that
// names no terminal, never has.
#include <brlapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/braille_display.h"
#include "platform/brlapi/brlapi_keys.h"

namespace platform {
namespace {

constexpr int kKeyWaitMs = 20;

class BrlapiDisplay final : public BrailleDisplay {
 public:
  BrlapiDisplay(std::unique_ptr<char[]> handle, int cells, int path)
      : handle_(std::move(handle)), cells_(cells), path_(path) {}
  int cells() const override { return cells_; }
  bool hold(bool held) override {
    std::lock_guard guard(ttyLock_);
    if (held == held_) return true;
    held_ = held;
    return held ? enterTtyMode(handle(), path_) : brlapi__leaveTtyMode(handle()) == 0;
  }
  bool write(const std::vector<uint8_t>& dots) override {
    std::vector<uint8_t> cells(dots);
    cells.resize(static_cast<size_t>(cells_), 0);
    return brlapi__writeDots(handle(), cells.data()) == 0;
  }

  // The keys come on a thread of their own; it ends with the connection, and
  // the display lives as long as the program. The wait is short: a key that
  // came while a write waited for its answer is kept by BrlAPI without
  // waking a reader, and is taken at the next look. Out of tty mode there are
  // no keys to read, and the mode changes only between two looks.
  void readKeys(BrailleKeySink sink) {
    std::thread([this, sink] {
      for (;;) {
        brlapi_keyCode_t code;
        int got = 0;
        {
          std::lock_guard guard(ttyLock_);
          if (held_ && (got = brlapi__readKeyWithTimeout(handle(), kKeyWaitMs, &code)) < 0) return;
        }
        if (got == 0 && !held_) std::this_thread::sleep_for(std::chrono::milliseconds(kKeyWaitMs));
        if (got == 0) continue;
        if (const std::optional<BrailleKey> key = brailleKeyOf(code)) sink(*key);
      }
    }).detach();
  }

  brlapi_handle_t* handle() { return reinterpret_cast<brlapi_handle_t*>(handle_.get()); }

  // Tty mode on the window's path (after whatever WINDOWPATH or XDG_VTNR the
  // library puts before it), every key ours: the key ranges go with the mode.
  static bool enterTtyMode(brlapi_handle_t* h, int path) {
    return brlapi__enterTtyModeWithPath(h, path ? &path : nullptr, path ? 1 : 0, nullptr) >= 0 &&
           brlapi__acceptAllKeys(h) >= 0;
  }

 private:
  std::unique_ptr<char[]> handle_;
  int cells_;
  int path_;
  std::mutex ttyLock_;  // the key thread reads only in tty mode
  std::atomic<bool> held_ = true;
};

BrailleDisplay* open(uint64_t window, BrailleKeySink sink) {
  auto handle = std::make_unique<char[]>(brlapi_getHandleSize());
  auto* h = reinterpret_cast<brlapi_handle_t*>(handle.get());
  if (brlapi__openConnection(h, nullptr, nullptr) < 0) return nullptr;
  unsigned int columns = 0, rows = 0;
  const int path = static_cast<int>(window);
  // Dots stay dots: chords arrive as the dots pressed, not as the
  // characters of BRLTTY's own braille table.
  const brlapi_param_retainDots_t retainDots = 1;
  if (brlapi__getDisplaySize(h, &columns, &rows) < 0 || columns == 0 ||
      brlapi__setParameter(h, BRLAPI_PARAM_RETAIN_DOTS, 0, BRLAPI_PARAMF_LOCAL, &retainDots, sizeof retainDots) < 0 ||
      !BrlapiDisplay::enterTtyMode(h, path)) {
    brlapi__closeConnection(h);
    return nullptr;
  }
  auto* display = new BrlapiDisplay(std::move(handle), static_cast<int>(columns * std::max(rows, 1u)), path);
  display->readKeys(sink);
  return display;
}

const BrailleModule kModule{open};

}  // namespace

}  // namespace platform

extern "C" const platform::BrailleModule* escuta_brlapi_module() {
  return &platform::kModule;
}
