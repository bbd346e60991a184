// The braille display of the BrlAPI server the environment names (BRLAPI_HOST
// and BRLAPI_AUTH, else the local BRLTTY). The program holds it in tty mode on
// its window's path, so that BRLTTY, told of the X focus by xbrlapi, gives it
// the display only while that window has the focus and hands it back to the
// user's screen reader otherwise.
#include <brlapi.h>

#include <algorithm>
#include <memory>
#include <thread>

#include "platform/braille_display.h"
#include "platform/brlapi/brlapi_keys.h"

namespace platform {
namespace {

constexpr int kKeyWaitMs = 20;

class BrlapiDisplay final : public BrailleDisplay {
 public:
  BrlapiDisplay(std::unique_ptr<char[]> handle, int cells) : handle_(std::move(handle)), cells_(cells) {}
  int cells() const override { return cells_; }
  bool write(const std::vector<uint8_t>& dots) override {
    std::vector<uint8_t> cells(dots);
    cells.resize(static_cast<size_t>(cells_), 0);
    return brlapi__writeDots(handle(), cells.data()) == 0;
  }

  // The keys come on a thread of their own; it ends with the connection, and
  // the display lives as long as the program. The wait is short: a key that
  // came while a write waited for its answer is kept by BrlAPI without
  // waking a reader, and is taken at the next look.
  void readKeys(BrailleKeySink sink) {
    std::thread([this, sink] {
      brlapi_keyCode_t code;
      for (int got; (got = brlapi__readKeyWithTimeout(handle(), kKeyWaitMs, &code)) >= 0;) {
        if (got == 0) continue;
        if (const std::optional<BrailleKey> key = brailleKeyOf(code)) sink(*key);
      }
    }).detach();
  }

  brlapi_handle_t* handle() { return reinterpret_cast<brlapi_handle_t*>(handle_.get()); }

 private:
  std::unique_ptr<char[]> handle_;
  int cells_;
};

BrailleDisplay* open(uint64_t window, BrailleKeySink sink) {
  auto handle = std::make_unique<char[]>(brlapi_getHandleSize());
  auto* h = reinterpret_cast<brlapi_handle_t*>(handle.get());
  if (brlapi__openConnection(h, nullptr, nullptr) < 0) return nullptr;
  unsigned int columns = 0, rows = 0;
  const int path = static_cast<int>(window);
  // Dots stay dots: chords arrive as the dots pressed, not as the
  // characters of BRLTTY's own braille table, and every key is the console's.
  const brlapi_param_retainDots_t retainDots = 1;
  if (brlapi__getDisplaySize(h, &columns, &rows) < 0 || columns == 0 ||
      brlapi__enterTtyModeWithPath(h, window ? &path : nullptr, window ? 1 : 0, nullptr) < 0 ||
      brlapi__setParameter(h, BRLAPI_PARAM_RETAIN_DOTS, 0, BRLAPI_PARAMF_LOCAL, &retainDots, sizeof retainDots) < 0 ||
      brlapi__acceptAllKeys(h) < 0) {
    brlapi__closeConnection(h);
    return nullptr;
  }
  auto* display = new BrlapiDisplay(std::move(handle), static_cast<int>(columns * std::max(rows, 1u)));
  display->readKeys(sink);
  return display;
}

const BrailleModule kModule{open};

}  // namespace

}  // namespace platform

extern "C" const platform::BrailleModule* escuta_brlapi_module() {
  return &platform::kModule;
}
