// The console's module state, shared by its files and by no one else.
#pragma once
#include <cstdint>
#include <string>

#include "console/screen.h"
#include "platform/events.h"

namespace console {

struct Picture {
  int handle = -1;
  int x = 0, y = 0;
  int width = 0, height = 0;
  std::string file;  // as the script named it
};

struct ScreenState {
  bool created = false;
  bool gridsFilled = false;  // kept after the window goes, for the screen dump
  bool focused = false;
  bool waitingForKey = false;
  bool coloursFixed = false;
  bool blitScrolling = false;
  uint8_t chars[kRows][kColumns];
  uint8_t attrs[kRows][kColumns];
  int col = 0;  // 0..80; 80 = the next printable byte wraps first
  int row = 0;  // 0..24
  uint8_t attribute = 0x0F;
  uint8_t colourMap[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  int font = -1;
  platform::FontSpec fontSpec;
  platform::FontMetrics cell;
  Picture picture;
  std::string title;
  // The part of the cursor's row that writing touched and has not drawn yet.
  int spanLeft = -1, spanRight = -1;
  RowHook rowDrawn = nullptr;
  WaveDoneHook waveDone = nullptr;
  WakeHook wake = nullptr;
};

extern ScreenState g_screen;

// Draws columns [left, right) of a 0-based row from the grids.
void drawSpan(int row, int left, int right);

// Shows or hides the caret under the cursor cell.
void showCaret(bool visible);

// The console's window procedure: one event from the platform.
void handleEvent(const platform::Event& ev);

}  // namespace console
