#include "console/braille_line.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "console/braille_cells.h"
#include "console/braille_keyboard.h"
#include "console/console_state.h"
#include "console/keyboard.h"
#include "platform/braille_display.h"
#include "platform/platform.h"

namespace console {
namespace {

constexpr uint8_t kDot7 = 0x40, kDot8 = 0x80;

struct BrailleLine {
  platform::BrailleDisplay* display = nullptr;
  bool held = true;               // false while the window is out of focus
  int row = 1;                    // the row on the display
  BrailleRow shown;               // its transcription, for the routing keys
  std::vector<uint8_t> dots;      // what the display holds
  bool routing = false;
  int routedColumn = 0, routedRow = 0;
};

BrailleLine g_line;

// The character a chord of the display types: dot 7
// alone is Backspace, dot 8 alone Enter, both Esc; with the space bar, the
// control code of the cell's character.
int chordCode(uint8_t dots, bool space) {
  if (dots == kDot7) return 8;
  if (dots == kDot8) return 13;
  if (dots == (kDot7 | kDot8)) return 27;
  const uint8_t six = dots & 0x3F;
  if (six == 0) return ' ';
  uint8_t c = cellCharacter(six);
  if (six == 0x04) c = '.';
  else if (six == 0x31) c = '@';
  return space ? (c & 31) : c;
}

int extendedOf(int key) {
  switch (key) {
    case platform::kKeyUp: return 72;
    case platform::kKeyDown: return 80;
    case platform::kKeyHome: return 71;
    case platform::kKeyEnd: return 79;
    default: return -1;
  }
}

}  // namespace

void openBrailleLine() {
  if (g_line.display) return;
  g_line.display = platform::openBrailleDisplay(platform::backend().windowHandle());
  brailleShowRow(g_screen.row + 1);
}

bool brailleLineOn() { return g_line.display != nullptr; }

void brailleShowRow(int row) {
  BrailleLine& b = g_line;
  if (!b.display) return;
  b.row = std::clamp(row, 1, kRows);
  b.shown = transcribeRow(std::string_view(reinterpret_cast<const char*>(g_screen.chars[b.row - 1]), kColumns));
  std::vector<uint8_t> dots = rowDots(b.shown.text, b.display->cells());
  if (!b.held || dots == b.dots) return;
  // A display that has gone (its server ended) is as no display.
  if (!b.display->write(dots)) b.display = nullptr;
  b.dots = std::move(dots);
}

void brailleWindowFocus(bool focused) {
  BrailleLine& b = g_line;
  if (!b.display || b.held == focused) return;
  b.held = focused;
  b.dots.clear();  // what BRLTTY showed meanwhile is not ours
  if (!b.display->hold(focused)) b.display = nullptr;
  else if (focused) brailleShowRow(b.row);
}

void brailleRowsScrolled() {
  if (g_line.row > 1) --g_line.row;
}

int brailleRow() { return g_line.row; }

void onBrailleKey(const platform::BrailleKey& key) {
  using Kind = platform::BrailleKey::Kind;
  switch (key.kind) {
    case Kind::Key: {
      const int scan = extendedOf(key.key);
      if (scan >= 0) appendExtended(static_cast<uint8_t>(scan));
      else appendCode(static_cast<uint8_t>(platform::controlChar(key.key, {})));
      return;
    }
    case Kind::Dots: {
      appendCode(static_cast<uint8_t>(chordCode(key.dots, key.space)));
      return;
    }
    case Kind::Route:
      if (g_line.routing) {
        const BrailleRow& shown = g_line.shown;
        const size_t cell = static_cast<size_t>(key.cell);
        g_line.routedColumn = cell < shown.source.size() ? shown.source[cell] + 1 : kColumns + 1;
        g_line.routedRow = g_line.row;
        appendExtended(kRouteScan);
        return;
      }
      break;
    case Kind::Other: break;
  }
  appendCode('?');
}

void setBrailleRouting(bool on) { g_line.routing = on; }

bool brailleRouted(int& column, int& row) {
  if (g_line.routedRow == 0) return false;
  column = g_line.routedColumn;
  row = g_line.routedRow;
  g_line.routedRow = 0;
  return true;
}

}  // namespace console
