#include "controls/screen_review.h"

#include <algorithm>
#include <string>

#include "console/braille_line.h"
#include "console/clipboard.h"
#include "console/keyboard.h"
#include "console/magnifier.h"
#include "console/screen.h"
#include "controls/beep.h"
#include "controls/review_text.h"
#include "speech/click_beep.h"
#include "speech/speech_activity.h"
#include "speech/speech_service.h"

namespace controls {
namespace {

using console::kColumns;
using console::kRows;

struct Position {
  int row = 1;
  int column = 1;  // 1..81: 81 is just past the row's end
};

Position g_at;
std::string g_lastSearch;  // kept for Ctrl+F5 through the run

std::string rowText(int row) {
  std::string text(kColumns, ' ');
  for (int c = 1; c <= kColumns; ++c) text[static_cast<size_t>(c - 1)] = static_cast<char>(console::cellChar(c, row));
  return text;
}

std::string rowAttributes(int row) {
  std::string attrs(kColumns, ' ');
  for (int c = 1; c <= kColumns; ++c) attrs[static_cast<size_t>(c - 1)] = static_cast<char>(console::cellAttribute(c, row));
  return attrs;
}

std::string_view part(std::string_view row, int from, int to) {
  return row.substr(static_cast<size_t>(from - 1), static_cast<size_t>(std::max(to - from + 1, 0)));
}

void showMagnified() {
  const std::string row = rowText(g_at.row);
  const size_t start = std::min(row.find_first_not_of(' '), row.size());
  const int place = std::max(g_at.column - static_cast<int>(start), 1);
  console::showMagnifiedLine(std::string_view(row).substr(start), place);
}

void sayAgain() {
  beep();
  speech::playClick();
  beep();
}

// One piece of the row from the position on, not beyond `limit`; the
// position ends after it.
void readPiece(int limit) {
  const std::string row = rowText(g_at.row);
  const Piece p = nextPiece(row, g_at.column, limit);
  g_at.column = p.next;
  if (!p.found) return;
  const std::string_view said = std::string_view(row).substr(static_cast<size_t>(p.from - 1), static_cast<size_t>(p.say));
  if (p.spell) speech::spellText(said);
  else speech::speakText(said);
}

void readRange(int fromRow, int fromColumn, int toRow, int toColumn, bool restore) {
  if (fromRow == toRow && toColumn < fromColumn) return beep();
  const Position saved = g_at;
  for (int r = fromRow; r <= toRow; ++r) {
    const int to = r == toRow ? std::min(toColumn, kColumns) : kColumns;
    g_at = {r, r == fromRow ? fromColumn : 1};
    showMagnified();
    if (speech::synthActive()) {
      speech::speakText(part(rowText(r), g_at.column, to));
      g_at.column = to + 1;
    } else {
      while (g_at.column <= to && !console::keyPressed()) readPiece(to);
    }
    if (console::keyPressed()) break;
    if (r < toRow) speech::playClick();
  }
  if (toColumn >= kColumns) g_at.column = rowEnd(rowText(g_at.row));
  if (restore) g_at = saved;
}

void readRow() { readRange(g_at.row, 1, g_at.row, kColumns, true); }

// Two letters: where to start (I from the start, T all, F to the end) and
// what (T the screen, L the row, C the field). L first counts as T.
void readCommand(char first, char second) {
  first = static_cast<char>(first & ~0x20);
  second = static_cast<char>(second & ~0x20);
  if (first == 'L') first = 'T';
  const int r = g_at.row, c = g_at.column;
  if (second == 'T' || second == 'L') {
    const bool screen = second == 'T';
    if (first == 'I') return readRange(screen ? 1 : r, 1, r, c - 1, !screen);
    if (first == 'T') return readRange(screen ? 1 : r, 1, screen ? kRows : r, kColumns, !screen);
    if (first == 'F') return readRange(r, c, screen ? kRows : r, kColumns, !screen);
  } else if (second == 'C') {
    const Span f = fieldAround(rowText(r), rowAttributes(r), c);
    if (!f.found) return beep();
    if (first == 'I') return readRange(r, f.from, r, c, true);
    if (first == 'T') return readRange(r, f.from, r, f.to, true);
    if (first == 'F') return readRange(r, c, r, f.to, true);
  }
  sayAgain();
}

void search() {
  for (int r = g_at.row; r <= kRows && !g_lastSearch.empty(); ++r) {
    const std::string row = rowText(r);
    const size_t from = r == g_at.row ? static_cast<size_t>(std::min(g_at.column, kColumns)) : 0;
    const size_t found = row.find(g_lastSearch, from);
    if (found != std::string::npos) {
      g_at = {r, static_cast<int>(found) + 1};
      return speech::playClick();
    }
  }
  beep();
  beep();
}

// F5: the text to search for, typed and heard key by key.
void askAndSearch() {
  speech::speakText("Qual texto");
  std::string text;
  for (;;) {
    const uint8_t c = console::readKey();
    if (c == 0) {
      console::readKey();  // special keys have no place in the text
      continue;
    }
    if (c == 13) break;
    if (c == 27) return;
    if (c == 8) {
      if (text.empty()) {
        beep();
        continue;
      }
      speech::playPiece("_DEL");
      speech::speakChar(static_cast<uint8_t>(text.back()));
      text.pop_back();
    } else if (c >= 32) {
      text += static_cast<char>(c);
      speech::speakChar(c);
    }
  }
  g_lastSearch = text;
  search();
}

// F6: two digits of row and two of column.
void jump() {
  speech::speakText("Entre linha e coluna");
  int digits[4];
  for (int& d : digits) {
    const uint8_t c = speech::echoKey();
    if (c == 0) console::readKey();
    if (c < '0' || c > '9') {
      beep();
      beep();
      return;
    }
    d = c - '0';
  }
  g_at = {digits[0] * 10 + digits[1], digits[2] * 10 + digits[3]};
}

void copyScreen() {
  std::string all;
  for (int r = 1; r <= kRows; ++r) all += rowText(r) + "\r\n";
  console::copyToClipboard(all);
}

void moveTo(int column, bool inside) {
  g_at.column = column;
  if (inside) speech::playClick();
  else beep();
}

// The first letter of the screen from the top, or the last from the bottom.
void toLetter(bool fromTop) {
  constexpr const char* kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  for (int i = 0; i < kRows; ++i) {
    const int r = fromTop ? i + 1 : kRows - i;
    const std::string row = rowText(r);
    const size_t at = fromTop ? row.find_first_of(kLetters) : row.find_last_of(kLetters);
    if (at != std::string::npos) {
      g_at = {r, static_cast<int>(at) + 1};
      return readRow();
    }
  }
  beep();
}

void specialKey(uint8_t s) {
  const std::string row = rowText(g_at.row);
  switch (s) {
    case 75:  // Left
      if (g_at.column == 1) return beep();
      speech::speakChar(static_cast<uint8_t>(console::cellChar(--g_at.column, g_at.row)));
      return;
    case 77:  // Right
      speech::speakChar(g_at.column <= kColumns ? static_cast<uint8_t>(console::cellChar(g_at.column, g_at.row)) : ' ');
      ++g_at.column;
      return;
    case 71: g_at.column = 1; return;
    case 79: g_at.column = rowEnd(row); return;
    case 72:  // Up
      if (g_at.row == 1) return beep();
      g_at = {g_at.row - 1, 1};
      return readRow();
    case 80:  // Down
      if (g_at.row == kRows) return beep();
      speech::playClick();
      g_at = {g_at.row + 1, 1};
      return readRow();
    case 73: g_at = {1, 1}; return readRow();
    case 81: g_at = {kRows, 1}; return readRow();
    case 132: return toLetter(true);
    case 118: return toLetter(false);
    case 115: {
      const Move m = previousBlankWord(row, g_at.column);
      return moveTo(m.column, m.inside);
    }
    case 116: {
      const Move m = nextBlankWord(row, g_at.column);
      return moveTo(m.column, m.inside);
    }
    case 59:  // F1
      if (speech::synthActive() && console::keyPressed()) return;
      readPiece(kColumns);
      if (g_at.column > 79) moveTo(rowEnd(rowText(g_at.row)), true);
      return;
    case 94: {  // Ctrl+F1
      const Span f = fieldAround(row, rowAttributes(g_at.row), g_at.column);
      if (!f.found) return beep();
      return readRange(g_at.row, f.from, g_at.row, f.to, true);
    }
    case 63: return askAndSearch();
    case 98: return search();
    case 64: return jump();
    case console::kRouteScan: {  // a routing key of the braille display
      Position to;
      if (!console::brailleRouted(to.column, to.row)) return;
      g_at = to;
      return speech::speakChar(to.column <= kColumns ? console::cellChar(to.column, to.row) : ' ');
    }
    default: return sayAgain();
  }
}

void plainKey(uint8_t c) {
  const std::string row = rowText(g_at.row);
  switch (c) {
    case 8: return specialKey(75);
    case 9: {  // Tab: two columns after the end of this field
      const Span f = fieldAround(row, rowAttributes(g_at.row), g_at.column);
      const int next = (f.found ? f.to : g_at.column - 1) + 2;
      if (next < rowEnd(row)) return moveTo(next, true);
      g_at.column = rowEnd(row);
      return;
    }
    case 32: return readRow();
    case 13:
      speech::playClick();
      g_at = {g_at.row + 1, 1};
      return;
    case 11: case 12:  // Ctrl+K, Ctrl+L
      return speech::speakText(std::to_string(g_at.row) + " " + std::to_string(g_at.column));
    case 3: return copyScreen();
    default: break;
  }
  const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  if (!letter) return sayAgain();
  const uint8_t second = console::readKey();
  if (second == 0) {
    console::readKey();
    return sayAgain();
  }
  readCommand(static_cast<char>(c), static_cast<char>(second));
}

// A position off the screen is put back on it; keys typed on past the edge
// are dropped with the beep.
void keepOnScreen() {
  auto fix = [](int& v, int low, int high, int over) {
    if (v >= low && v <= high) return;
    v = v < low ? low : over;
    speech::playBeep();
  };
  fix(g_at.column, 1, kColumns + 1, kColumns);
  fix(g_at.row, 1, kRows, kRows);
}

}  // namespace

void reviewScreen() {
  speech::stopSpeech();
  beep();
  const int cursorColumn = console::whereX(), cursorRow = console::whereY();
  g_at = {cursorRow, cursorColumn};
  console::setBrailleRouting(true);
  for (;;) {
    console::gotoXY(g_at.column, g_at.row);
    showMagnified();
    const uint8_t c = console::readKey();
    speech::stopSpeech();
    if (c == 27) break;
    if (c == 0) specialKey(console::readKey());
    else plainKey(c);
    keepOnScreen();
  }
  console::setBrailleRouting(false);
  beep();
  beep();
  console::hideMagnifiedLine();
  console::gotoXY(cursorColumn, cursorRow);
}

}  // namespace controls
