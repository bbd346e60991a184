#include "console/screen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "console/braille_keyboard.h"
#include "console/braille_line.h"
#include "console/console_state.h"
#include "console/keyboard.h"
#include "console/palette.h"
#include "console/tone.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/base/printable.h"
#include "platform/platform.h"
#include "platform/transcript.h"
#include "settings/settings.h"

namespace console {

ScreenState g_screen;

namespace {

platform::Backend& be() { return platform::backend(); }

bool startsWithS(const std::string& v) { return !v.empty() && (v[0] == 'S' || v[0] == 's'); }

int number(const std::string& v, int def) { return v.empty() ? def : std::atoi(v.c_str()); }

// A cell's size from the settings, or from the work area as the suite does.
// The text never takes more of the work area than the default's share of it
// (what a window's frame needs is left over), so that no row is cut off. A
// value that is not a whole number above 0 takes the default; one too large
// for the screen, the largest that fits; either is said once on the error
// output, for a program that starts all the same.
int cellSize(const char* key, int workArea, double base, double per, int cells) {
  const double share = workArea / base * per;
  const int fits = std::max(1, std::min(static_cast<int>(share), workArea / cells));
  const int computed = std::clamp(static_cast<int>(std::lround(share)), 1, fits);
  const std::string v = settings::readDirect("VIDEO", key);
  if (v.empty()) return computed;
  char* end = nullptr;
  const long n = std::strtol(v.c_str(), &end, 10);
  const bool whole = end != v.c_str() && std::string_view(end).find_first_not_of(' ') == std::string_view::npos;
  if (whole && n > 0 && n <= fits) return static_cast<int>(n);
  const bool tooLarge = whole && n > fits;
  const int used = tooLarge ? fits : computed;
  platform::printError(platform::programName(), "[VIDEO] " + std::string(key) + "=" + platform::cp1252ToUtf8(v) +
                                                    (tooLarge ? " is too large for the screen" : " is not a size") +
                                                    ": " + std::to_string(used) + " is used");
  return used;
}

void fillRow(int row, int from) {
  std::memset(&g_screen.chars[row][from], ' ', static_cast<size_t>(kColumns - from));
  std::memset(&g_screen.attrs[row][from], g_screen.attribute, static_cast<size_t>(kColumns - from));
}

void touch(int column) {
  if (g_screen.spanLeft < 0 || column < g_screen.spanLeft) g_screen.spanLeft = column;
  if (column + 1 > g_screen.spanRight) g_screen.spanRight = column + 1;
}

// A row drawn outside painting is also shown on the braille display.
void drawPendingSpan() {
  if (g_screen.spanLeft >= 0 && g_screen.spanRight > g_screen.spanLeft) {
    drawSpan(g_screen.row, g_screen.spanLeft, std::min(g_screen.spanRight, kColumns));
    brailleShowRow(g_screen.row + 1);
  }
  g_screen.spanLeft = g_screen.spanRight = -1;
}

platform::Rect textArea() { return {0, 0, kColumns * g_screen.cell.cellWidth, kRows * g_screen.cell.cellHeight}; }

void repaintAll() { paint(textArea()); }

bool invisible(uint8_t attr) { return colourOf(attr & 15) == colourOf(attr >> 4); }

}  // namespace

void ensureConsole() {
  if (g_screen.created) return;
  ScreenState& s = g_screen;
  parseColourMap(settings::readDirect("VIDEO", "TABCORES", "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15"), s.colourMap);
  s.coloursFixed = startsWithS(settings::readDirect("VIDEO", "CORESFIXAS", "N"));
  s.blitScrolling = startsWithS(settings::readDirect("VIDEO", "LENTO", "N"));
  s.attribute = static_cast<uint8_t>(number(settings::readDirect("VIDEO", "CORFUNDO", "0"), 0) * 16 +
                                     number(settings::readDirect("VIDEO", "CORLETRA", "15"), 15));
  const std::string modo = settings::readDirect("BRAILLE", "MODO", "0");
  const int brailleMode = static_cast<unsigned char>(modo[0]) & 3;
  const platform::Rect work = be().workArea();
  s.fontSpec.face = platform::cp1252ToUtf8(settings::readDirect("VIDEO", "FONTE", "Lucida Console"));
  s.fontSpec.width = cellSize("LARGURALETRA", work.w, 1024.0, 13.0, kColumns);
  s.fontSpec.height = cellSize("ALTURALETRA", work.h, 734.0, 28.0, kRows);
  s.fontSpec.weight = number(settings::readDirect("VIDEO", "PESOLETRA", "700"), 700);
  const bool maximized = !startsWithS(settings::readDirect("VIDEO", "CANTOTELA", "SIM"));
  s.font = be().openFont(s.fontSpec, s.cell);
  if (s.font < 0) platform::fail(1, "No usable font for the console (is fonts-dejavu-core installed?)");

  std::string title = platform::utf8ToCp1252(platform::programFile());
  if (title.size() > 79) title.resize(79);
  s.title = title;
  platform::WindowSpec spec;
  spec.title = platform::cp1252ToUtf8(title);
  spec.width = kColumns * s.cell.cellWidth;
  spec.height = kRows * s.cell.cellHeight;
  spec.minWidth = 16 * s.cell.cellWidth;
  spec.minHeight = 4 * s.cell.cellHeight;
  spec.maximized = maximized;
  for (int r = 0; r < kRows; ++r) fillRow(r, 0);
  s.col = s.row = 0;
  if (!be().openWindow(spec)) platform::fail(1, "The console window cannot be opened");
  s.created = s.gridsFilled = true;
  s.focused = platform::headless();  // a real window learns its focus from the window system
  repaintAll();
  setBrailleMode(brailleMode);
  openBrailleLine();
}

bool created() { return g_screen.created; }

void drawSpan(int row, int left, int right) {
  const ScreenState& s = g_screen;
  const int cw = s.cell.cellWidth, ch = s.cell.cellHeight;
  for (int c = left; c < right;) {
    const uint8_t a = s.attrs[row][c];
    int end = c + 1;
    while (end < right && s.attrs[row][end] == a) ++end;
    be().drawText(s.font, c * cw + s.cell.overhang, row * ch,
                  std::string_view(reinterpret_cast<const char*>(&s.chars[row][c]), static_cast<size_t>(end - c)),
                  colourOf(a & 15), colourOf(a >> 4));
    c = end;
  }
  if (s.rowDrawn) s.rowDrawn(row + 1);
}

void writeText(std::string_view bytes) {
  ensureConsole();
  ScreenState& s = g_screen;
  if (platform::transcriptOpen()) {
    std::string shown(bytes);
    if (invisible(s.attribute)) {
      for (char& c : shown) {
        if (static_cast<unsigned char>(c) >= 32) c = '*';
      }
    }
    platform::transcriptEvent("SHOW", shown);
  }
  for (unsigned char c : bytes) {
    switch (c) {
      case 7:
        bell();
        break;
      case 8:
        if (s.col > 0) {
          --s.col;
          s.chars[s.row][s.col] = ' ';
          s.attrs[s.row][s.col] = s.attribute;
          touch(s.col);
        }
        break;
      case 10:
        newLine();
        s.col = 0;
        break;
      case 13:
        s.col = 0;
        break;
      default:
        if (c < 32) break;
        if (s.col == kColumns) {
          s.col = 0;
          newLine();
        }
        s.chars[s.row][s.col] = c;
        s.attrs[s.row][s.col] = s.attribute;
        touch(s.col);
        ++s.col;
    }
  }
  drawPendingSpan();
  be().present();
}

void writeLine(std::string_view text) {
  writeText(text);
  writeText("\r\n");
}

void newLine() {
  ensureConsole();
  ScreenState& s = g_screen;
  drawPendingSpan();
  if (s.row < kRows - 1) {
    ++s.row;
    return;
  }
  std::memmove(&s.chars[0][0], &s.chars[1][0], sizeof s.chars - kColumns);
  std::memmove(&s.attrs[0][0], &s.attrs[1][0], sizeof s.attrs - kColumns);
  fillRow(kRows - 1, 0);
  brailleRowsScrolled();
  // The pixel copy is only safe where nothing covers the window's text.
  if (s.blitScrolling && be().windowActive() && be().bottomGap() > 32) {
    be().scrollUp(textArea(), s.cell.cellHeight, colourOf(s.attribute >> 4));
    if (s.picture.handle >= 0) be().drawPicture(s.picture.handle, s.picture.x, s.picture.y);
  } else {
    repaintAll();
  }
  be().present();
}

void clearScreen() {
  ensureConsole();
  for (int r = 0; r < kRows; ++r) fillRow(r, 0);
  g_screen.col = g_screen.row = 0;
  repaintAll();
  be().present();
  brailleShowRow(1);
}

void clearToLineEnd() {
  ensureConsole();
  ScreenState& s = g_screen;
  if (s.col >= kColumns) return;
  fillRow(s.row, s.col);
  drawSpan(s.row, s.col, kColumns);
  be().present();
  brailleShowRow(s.row + 1);
}

void gotoXY(int column, int row) {
  ensureConsole();
  g_screen.col = std::clamp(column, 1, kColumns) - 1;
  g_screen.row = std::clamp(row, 1, kRows) - 1;
  brailleShowRow(g_screen.row + 1);
}

int whereX() {
  ensureConsole();
  return g_screen.col + 1;
}

int whereY() {
  ensureConsole();
  return g_screen.row + 1;
}

void setTextColor(int n) {
  ensureConsole();
  if (!g_screen.coloursFixed) g_screen.attribute = static_cast<uint8_t>((g_screen.attribute & 0xF0) | (n & 0x0F));
}

void setBackColor(int n) {
  ensureConsole();
  if (!g_screen.coloursFixed) g_screen.attribute = static_cast<uint8_t>((g_screen.attribute & 0x0F) | ((n * 16) & 0xFF));
}

uint8_t textAttribute() {
  ensureConsole();
  return g_screen.attribute;
}

void setTextAttribute(uint8_t attribute) {
  ensureConsole();
  g_screen.attribute = attribute;
}

bool coloursFixed() {
  ensureConsole();
  return g_screen.coloursFixed;
}

uint8_t cellChar(int column, int row) {
  ensureConsole();
  return g_screen.chars[std::clamp(row, 1, kRows) - 1][std::clamp(column, 1, kColumns) - 1];
}

uint8_t cellAttribute(int column, int row) {
  ensureConsole();
  return g_screen.attrs[std::clamp(row, 1, kRows) - 1][std::clamp(column, 1, kColumns) - 1];
}

platform::Rgb colourOf(int logical) { return paletteColour(g_screen.colourMap[logical & 15]); }

void setTitle(std::string_view cp1252) {
  ensureConsole();
  g_screen.title = std::string(cp1252);
  platform::transcriptEvent("TITLE", cp1252);
  be().setTitle(platform::cp1252ToUtf8(cp1252));
}

void streamWrite(std::string_view bytes) {
  writeText(bytes);
  keyPressed();
}

void setRowDrawnHook(RowHook hook) { g_screen.rowDrawn = hook; }

void paint(const platform::Rect& r) {
  const ScreenState& s = g_screen;
  if (!s.created) return;
  const int cw = s.cell.cellWidth, ch = s.cell.cellHeight;
  const int left = std::max(r.x / cw, 0), right = std::min((r.x + r.w + cw - 1) / cw, kColumns);
  const int top = std::max(r.y / ch, 0), bottom = std::min((r.y + r.h + ch - 1) / ch, kRows);
  for (int row = top; row < bottom && left < right; ++row) drawSpan(row, left, right);
  if (s.picture.handle >= 0) be().drawPicture(s.picture.handle, s.picture.x, s.picture.y);
  be().present();
}

void endProgram() {
  if (!g_screen.created) return;
  setTitle("Programa terminado");
  setBreakCheck(false);
}

}  // namespace console
