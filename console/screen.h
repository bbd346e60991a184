// The console: one window emulating an 80 x 25 text screen with a cursor and
// 16 colours. Everything shown goes through it; it does not speak.
// Coordinates given to and returned by these functions are 1-based.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/backend.h"

namespace console {

constexpr int kColumns = 80;
constexpr int kRows = 25;

// Creates and shows the window on first use, with the configured colours,
// font and size. Every other function calls it.
void ensureConsole();
bool created();

// Puts bytes at the cursor: BEL beeps, BS erases backwards within the row, LF
// and CR move, 32..255 are shown with a delayed wrap, other controls ignored.
void writeText(std::string_view bytes);
void writeLine(std::string_view text);
void newLine();
void clearScreen();
void clearToLineEnd();

void gotoXY(int column, int row);
int whereX();  // 81 right after the 80th column of a row was written
int whereY();

void setTextColor(int n);
void setBackColor(int n);
uint8_t textAttribute();
// Sets the whole attribute, fixed colours or not: for text nobody may read.
void setTextAttribute(uint8_t attribute);
bool coloursFixed();

// The cell's character and attribute (1-based), for the screen's readers.
uint8_t cellChar(int column, int row);
uint8_t cellAttribute(int column, int row);

// Palette colour of a logical colour (0..15) through the colour map.
platform::Rgb colourOf(int logical);

void setTitle(std::string_view cp1252);

// The console's output stream: writes, then looks for a waiting key (which
// serves the window's pending events).
void streamWrite(std::string_view bytes);

// Serves every pending event without waiting; a close ends the program.
void pumpMessages();
// Waits up to timeoutMs (-1: no limit) for an event, then serves it and
// every other pending one: the step of every loop that waits for something.
void waitMessage(int timeoutMs);
// Sleeps n milliseconds (an unsigned 16-bit count), then serves events.
void delayMs(int n);

// Handlers of events that belong to higher layers (a row drawn, the wave
// player's finished blocks); registered by them when they start.
using RowHook = void (*)(int row);
void setRowDrawnHook(RowHook hook);
using WaveDoneHook = void (*)(int block);
void setWaveDoneHook(WaveDoneHook hook);
// Other threads wake the program when they hand it something (the
// accessibility events); the hook takes it in on the program's own thread.
using WakeHook = void (*)();
void setWakeHook(WakeHook hook);

// Ends the program at once: the window goes, the key queue is drained, the
// exit steps run. Used when the user closes the window or presses Ctrl+Break,
// and, with a failure status, after a fatal error the user has acknowledged.
[[noreturn]] void closeConsole(int status = 0);

// The normal end: the title says so and Ctrl+Break no longer ends anything.
void endProgram();

// At every exit, the screen's rows are written to this file (UTF-8; "-" is
// standard output). It is opened now: false, with nothing set, when it cannot be.
bool setScreenOut(const std::string& hostFile);

// The 25 rows as UTF-8 lines, trailing blanks removed, invisible cells blank.
std::string screenText();

// Redraws the pixel rectangle from the grids, then the picture on top.
void paint(const platform::Rect& r);

}  // namespace console
