// The braille display line: the console's current row, in Portuguese braille,
// on a refreshable display reached through BRLTTY, and the display's keys in
// the key queue. Without a display none of it is active.
#pragma once
#include <cstdint>

#include "platform/events.h"

namespace console {

// Once, right after the window is created.
void openBrailleLine();
bool brailleLineOn();

// Shows a row (1-based) on the display; nothing when it is off or when the
// cells would not change.
void brailleShowRow(int row);
// The window gained or lost the focus: the display is given back to BRLTTY
// meanwhile, and the row is shown again when the focus comes back.
void brailleWindowFocus(bool focused);
// The screen scrolled up one row: the row on the display moved with it.
void brailleRowsScrolled();
// The row the display shows (1-based).
int brailleRow();

// A key of the display: its character, or 0 and a scan code, joins the key
// queue.
void onBrailleKey(const platform::BrailleKey& key);

// While the screen review runs, a routing key is its own extended key,
// 0 and kRouteScan, and brailleRouted() says which cell of the screen it
// pressed; otherwise it is a key the console does not know.
constexpr uint8_t kRouteScan = 240;
void setBrailleRouting(bool on);
bool brailleRouted(int& column, int& row);

}  // namespace console
