#include "controls/menu.h"

#include <algorithm>

#include "console/keyboard.h"
#include "console/magnifier.h"
#include "console/screen.h"
#include "controls/beep.h"
#include "controls/screen_review.h"
#include "platform/platform.h"
#include "platform/transcript.h"
#include "speech/speech_activity.h"
#include "speech/speech_service.h"

namespace controls {
namespace {

constexpr int kCurrentColour = 14;  // yellow
constexpr int kMarkedColour = 2;    // green
constexpr int kPageStep = 10;

struct Menu {
  bool created = false;
  std::vector<std::string> items;
  std::vector<bool> marks;
  int left = 1, top = 1, right = 1, bottom = 1;
  int startNumber = 1;
  // One selection: -1 is before the first item, count after the last.
  int current = 0;
  int firstShown = 0;
  int normalColour = 7;
};

Menu g_menu;

int count() { return static_cast<int>(g_menu.items.size()); }
bool onItem() { return g_menu.current >= 0 && g_menu.current < count(); }
int pageRows() { return std::max(g_menu.bottom - g_menu.top + 1, 1); }

// The width, cut at the screen's right edge: a longer row would wrap and
// scroll the screen.
int shownWidth() {
  const int left = std::clamp(g_menu.left, 1, console::kColumns);
  return std::clamp(g_menu.right - g_menu.left + 1, 0, console::kColumns - left + 1);
}

// An item as it fills its row: control characters as blanks, padded and cut.
std::string rowOf(int index) {
  std::string text = index >= 0 && index < count() ? g_menu.items[static_cast<size_t>(index)] : "";
  text.resize(static_cast<size_t>(shownWidth()), ' ');
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 32) c = ' ';
  }
  return text;
}

// A line written across the menu's place before it came would leave its end
// beside the menu's row, a fragment that reads as nonsense: the row takes the
// rest of the line. Asked once it is blank, so a redraw stays a few cells.
void clearBesideRow(int row) {
  const int after = std::clamp(g_menu.left, 1, console::kColumns) + shownWidth();
  for (int column = after; column <= console::kColumns; ++column) {
    if (console::cellChar(column, row) != ' ') {
      console::gotoXY(column, row);
      console::clearToLineEnd();
      return;
    }
  }
}

void drawMenu(bool announce) {
  Menu& m = g_menu;
  for (int r = 0; r < pageRows(); ++r) {
    const int i = m.firstShown + r;
    const bool marked = i >= 0 && i < count() && m.marks[static_cast<size_t>(i)];
    console::gotoXY(m.left, m.top + r);
    console::setTextColor(i == m.current ? kCurrentColour : marked ? kMarkedColour : m.normalColour);
    console::writeText(rowOf(i));
    clearBesideRow(m.top + r);
  }
  console::setTextColor(m.normalColour);
  if (announce && onItem()) {
    const std::string& item = m.items[static_cast<size_t>(m.current)];
    if (m.marks[static_cast<size_t>(m.current)]) beep();
    console::showMagnifiedLine(item, 1);
    platform::transcriptEvent("MENU", item);
    speech::speakText(item);
  }
  console::gotoXY(m.left, m.top + m.current - m.firstShown);
}

void markRange(int from, int to, bool on) {
  for (int i = std::max(from, 0); i <= std::min(to, count() - 1); ++i) g_menu.marks[static_cast<size_t>(i)] = on;
}

void setCurrentMark(bool on) {
  if (onItem()) g_menu.marks[static_cast<size_t>(g_menu.current)] = on;
}

// Whether an ordinary key changed the marks (the choice goes on) rather
// than ending the choice.
bool markKey(uint8_t c) {
  switch (c) {
    case ' ':
      if (onItem()) g_menu.marks[static_cast<size_t>(g_menu.current)] = !g_menu.marks[static_cast<size_t>(g_menu.current)];
      return true;
    case '+': setCurrentMark(true); return true;
    case '-': setCurrentMark(false); return true;
    case '*': markRange(0, count() - 1, true); return true;
    case '/': markRange(0, count() - 1, false); return true;
    default: return false;
  }
}

bool endsChoice(uint8_t s) {
  const bool fKey = (s >= 59 && s <= 70) || (s >= 94 && s <= 105);  // F1..F12, Ctrl+F1..F12
  return fKey || s == 75 || s == 77 || s == 83 || s == 115 || s == 116;
}

// A special key that moves or marks; false when it ends the choice.
bool moveKey(uint8_t s, bool shift, bool alt) {
  Menu& m = g_menu;
  const int last = count() - 1;
  switch (s) {
    case 80:  // Down
      if (shift && onItem() && !m.marks[static_cast<size_t>(m.current)]) {
        beep();
        setCurrentMark(true);
      }
      ++m.current;
      if (shift) setCurrentMark(true);
      break;
    case 72:  // Up
      if (shift) setCurrentMark(false);
      --m.current;
      break;
    case 81: m.current += kPageStep; break;
    case 73: m.current -= kPageStep; break;
    case 71: case 132:  // Home, Ctrl+Page Up
      if (shift) markRange(0, m.current, false);
      beep();
      m.current = 0;
      break;
    case 79: case 118:  // End, Ctrl+Page Down
      if (shift) markRange(m.current, last, true);
      beep();
      m.current = last;
      break;
    case 119:  // Ctrl+Home
      if (!shift) break;
      markRange(0, m.current, true);
      beep();
      m.current = 0;
      break;
    case 117:  // Ctrl+End
      if (!shift) break;
      markRange(m.current, last, false);
      beep();
      m.current = last;
      break;
    case 102:  // Ctrl+F9: with Alt the screen review, alone it ends
      if (!alt) return false;
      reviewScreen();
      break;
    default:
      if (endsChoice(s)) return false;
  }
  if (m.current < 0 || m.current >= count()) {
    m.current = std::clamp(m.current, -1, count());
    beep();
  }
  return true;
}

MenuChoice selectItem(int from) {
  Menu& m = g_menu;
  const int savedAttribute = console::textAttribute();
  m.normalColour = savedAttribute & 0x0F;
  m.current = std::clamp(from, -1, count());
  for (;;) {
    if (m.current < m.firstShown) m.firstShown = m.current;
    else if (m.current >= m.firstShown + pageRows()) m.firstShown = m.current - pageRows() + 1;
    m.firstShown = std::max(m.firstShown, 0);
    drawMenu(true);
    const uint8_t c = console::readKey();
    const platform::Mods mods = console::keyModifiers();
    MenuChoice ended{m.current + 1, c, -1, ""};
    if (c != 0) {
      if (markKey(c)) continue;
    } else {
      ended.scan = console::readKey();
      speech::stopSpeech();
      if (moveKey(static_cast<uint8_t>(ended.scan), mods.shift, mods.alt)) continue;
    }
    console::setTextColor(savedAttribute & 0x0F);
    console::setBackColor(savedAttribute >> 4);
    console::hideMagnifiedLine();
    if (onItem()) ended.text = m.items[static_cast<size_t>(m.current)];
    return ended;
  }
}

}  // namespace

void createMenu(int left, int top, int right, int bottom) {
  g_menu = Menu{};
  g_menu.created = true;
  g_menu.left = left;
  g_menu.top = top;
  g_menu.right = right;
  g_menu.bottom = bottom;
}

bool menuCreated() { return g_menu.created; }

void addMenuItem(std::string text) {
  g_menu.items.push_back(std::move(text));
  g_menu.marks.push_back(false);
}

MenuChoice runMenu(std::optional<int> start) {
  for (;;) {
    if (start) g_menu.startNumber = std::max(*start, 1);
    const MenuChoice choice = selectItem(g_menu.startNumber - 1);
    const bool functionKey = choice.scan >= 59 && choice.scan <= 70;
    if (choice.scan < 0 || functionKey) return choice;
  }
}

void endMenu() {
  Menu& m = g_menu;
  const std::string blanks(static_cast<size_t>(shownWidth()), ' ');
  for (int r = m.top; r <= m.bottom; ++r) {
    console::gotoXY(m.left, r);
    console::writeText(blanks);
  }
  console::gotoXY(m.left, m.top);
  m.items.clear();
  m.marks.clear();
}

}  // namespace controls
