#include "controls/line_editor.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "console/clipboard.h"
#include "console/keyboard.h"
#include "console/magnifier.h"
#include "console/screen.h"
#include "controls/beep.h"
#include "controls/edit_text.h"
#include "controls/open_word.h"
#include "controls/screen_review.h"
#include "platform/platform.h"
#include "speech/click_beep.h"
#include "speech/number_pieces.h"
#include "speech/speech_activity.h"
#include "speech/speech_service.h"

namespace controls {
namespace {

// One call of editLine. Positions are 1-based; the text always holds
// exactly `max` characters, blanks filling its end.
struct Editor {
  std::string text;
  int column = 1, row = 1, max = 1, width = 1;
  int cursor = 1;  // 1 .. max + 1
  int first = 1;   // the position shown at the field's start
  int selStart = 0, selEnd = 0;  // 0: no selection
  std::string initial;           // for Ctrl+U
  bool firstKey = true;          // for type-over
  bool shift = false, alt = false;
  bool ended = false;
  int lastCode = 0;
};

std::optional<bool> g_keyEcho;

size_t at(int p) { return static_cast<size_t>(p - 1); }
size_t count(int n) { return static_cast<size_t>(n); }
char charAt(const Editor& e, int p) { return e.text[at(p)]; }

bool hasSelection(const Editor& e) { return e.selStart != 0 && e.selStart != e.selEnd; }
int selLow(const Editor& e) { return std::min(e.selStart, e.selEnd); }
int selHigh(const Editor& e) { return std::max(e.selStart, e.selEnd); }
void clearSelection(Editor& e) { e.selStart = e.selEnd = 0; }

std::string trimmedRight(std::string_view text) { return std::string(text.substr(0, text.find_last_not_of(' ') + 1)); }

// Control characters take their cell as blanks: written as they are, they
// would beep or move the cursor and break the field.
std::string cells(std::string_view text) {
  std::string shown(text);
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 32) c = ' ';
  }
  return shown;
}

// The field shows what fits before the last column, never more than the
// text can hold, and at least the cursor's cell at the right edge.
int fieldWidth(int column, int maxLength) { return std::max(std::min(79 - column, maxLength), 1); }

void keepCursorVisible(Editor& e) {
  if (e.cursor < e.first) e.first = e.cursor;
  else if (e.cursor - e.first > e.width) e.first = e.cursor - e.width;
}

std::string_view shownPart(const Editor& e) { return std::string_view(e.text).substr(at(e.first), count(e.width)); }

void draw(const Editor& e) {
  console::gotoXY(e.column, e.row);
  const std::string shown = cells(shownPart(e));
  const int from = hasSelection(e) ? std::clamp(selLow(e) - e.first, 0, static_cast<int>(shown.size())) : 0;
  const int to = hasSelection(e) ? std::clamp(selHigh(e) - e.first, 0, static_cast<int>(shown.size())) : 0;
  if (from < to) {
    const int background = console::textAttribute() >> 4;
    console::writeText(std::string_view(shown).substr(0, count(from)));
    console::setBackColor(8);
    console::writeText(std::string_view(shown).substr(count(from), count(to - from)));
    console::setBackColor(background);
    console::writeText(std::string_view(shown).substr(count(to)));
  } else {
    console::writeText(shown);
  }
  console::clearToLineEnd();
  console::gotoXY(e.column + e.cursor - e.first, e.row);
}

// Removes the character at p (blanks move in at the end) and says which.
void removeAt(Editor& e, int p, bool firstOfGroup) {
  const char gone = charAt(e, p);
  e.text.erase(at(p), 1);
  e.text += ' ';
  draw(e);
  if (firstOfGroup && speech::sayEverything()) speech::playPiece("_DEL");
  speech::speakChar(static_cast<uint8_t>(gone));
}

void removeRun(Editor& e, int from, int count) {
  e.cursor = from;
  for (int i = 0; i < count; ++i) removeAt(e, from, i == 0);
}

void insert(Editor& e, uint8_t c) {
  if (e.cursor > e.max) return beep();
  e.text.insert(at(e.cursor), 1, static_cast<char>(c));
  e.text.pop_back();
  ++e.cursor;
  keepCursorVisible(e);
  draw(e);
  if (keyEcho()) speech::speakChar(c);
}

// The very first key over a text that holds something from the cursor on:
// two clicks warn, and a typed character replaces the whole text.
bool typeOver(Editor& e) {
  if (!e.firstKey || lastNonBlank(e.text) < e.cursor) return false;
  speech::playClick();
  speech::playClick();
  return true;
}

void copy(const Editor& e) {
  if (hasSelection(e)) console::copyToClipboard(std::string_view(e.text).substr(at(selLow(e)), count(selHigh(e) - selLow(e))));
  else console::copyToClipboard(trimmedRight(e.text) + "\r\n");
}

void paste(Editor& e) {
  std::string clip = console::pasteFromClipboard(static_cast<size_t>(e.max) + 2);
  clip.resize(std::min(clip.size(), clip.find_first_of("\r\n")));
  if (clip.empty()) return;
  if (typeOver(e)) e.text.assign(count(e.max), ' ');
  int from = e.cursor, to = e.cursor;
  if (hasSelection(e)) {
    from = selLow(e);
    to = selHigh(e);
  }
  e.text = e.text.substr(0, at(from)) + clip + e.text.substr(at(to));
  e.text.resize(count(e.max), ' ');
  e.cursor = from;
  e.selStart = from;
  e.selEnd = e.shift ? from : std::min(from + static_cast<int>(clip.size()), e.max + 1);
}

// Ctrl+Backspace: the word before or under the cursor and the blanks after it.
void removeWord(Editor& e) {
  int start = e.cursor;
  if (e.cursor > 1 && charAt(e, e.cursor - 1) != ' ') start = previousWordStart(e.text, e.cursor).position;
  const int count = nextWordStart(e.text, start).position - start;
  if (count <= 0) return beep();
  removeRun(e, start, count);
}

// Ctrl+F4: the speed is the digit typed after the prompt; the last of the
// keys typed counts.
void changeSpeed() {
  speech::playPiece("_VELOC");
  uint8_t key;
  do {
    key = speech::echoKey();
  } while (console::keyPressed());
  if (key == 13 || key == kEscape) return;
  if (key < '0' || key > '9') return beep();
  const std::string soundDir = speech::soundDir();
  speech::shutdownSpeech();
  speech::initSpeech(key - '0', soundDir);
}

void readNextWord(Editor& e) {
  const Reading r = nextReading(e.text, e.cursor);
  if (!r.found) return beep();
  const std::string_view piece = std::string_view(e.text).substr(at(r.from), count(r.to - r.from));
  if (r.spell) speech::spellText(piece);
  else speech::speakText(piece);
  e.cursor = r.to;
}

void moveByWord(Editor& e, WordMove m) {
  e.cursor = m.position;
  if (m.inside) speech::playClick();
  else beep();
}

void end(Editor& e, int code) {
  e.ended = true;
  e.lastCode = code;
}

void plainKey(Editor& e, uint8_t c) {
  if (c != 3 && c != 22) clearSelection(e);
  switch (c) {
    case 13: case kEscape: case 9: case 2: case 10: return end(e, c);
    case 8:
      if (e.cursor == 1) return beep();
      --e.cursor;
      return removeAt(e, e.cursor, true);
    case 127: return removeWord(e);
    case 4:  // Ctrl+D
      std::fill(e.text.begin() + at(e.cursor), e.text.end(), ' ');
      return speech::playPiece("_APFCPO");
    case 19:  // Ctrl+S
      e.text = e.text.substr(at(e.cursor)) + std::string(count(e.cursor - 1), ' ');
      e.cursor = 1;
      return speech::playPiece("_APICPO");
    case 21:  // Ctrl+U
      e.text = e.initial;
      e.cursor = 1;
      for (int i = 0; i < 3; ++i) beep();
      return;
    case 25:  // Ctrl+Y
      e.text.assign(e.text.size(), ' ');
      e.cursor = 1;
      return speech::playPiece("_CPOAPA");
    case 11: return speech::speakText(std::to_string(e.cursor));  // Ctrl+K
    case 28: return speech::speakDialString(e.text);               // Ctrl+backslash
    case 3: return copy(e);
    case 22: return paste(e);
    default:
      if (typeOver(e) && c >= 32) e.text.assign(e.text.size(), ' ');
      if (c >= 32) insert(e, c);
  }
}

void extendedKey(Editor& e, uint8_t s) {
  const bool clipboardKey = s == 254 || s == 255;  // Shift+Insert, Ctrl+Insert
  if (!clipboardKey && e.shift && e.selStart == 0) e.selStart = e.selEnd = e.cursor;
  switch (s) {
    case 75:  // Left
      if (e.cursor == 1) return beep();
      --e.cursor;
      speech::speakChar(static_cast<uint8_t>(charAt(e, e.cursor)));
      break;
    case 77: {  // Right
      if (e.cursor > e.max) return beep();
      const auto c = static_cast<uint8_t>(charAt(e, e.cursor));
      const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128;
      if (e.alt && letter) speech::playPiece("_FON" + std::to_string(c));
      else speech::speakChar(c);
      ++e.cursor;
      break;
    }
    case 71: e.cursor = 1; break;
    case 79: e.cursor = lastNonBlank(e.text) + 1; break;
    case 115: moveByWord(e, previousWordStart(e.text, e.cursor)); break;
    case 116: moveByWord(e, nextWordStart(e.text, e.cursor)); break;
    case 83:  // Delete
      if (!hasSelection(e)) {
        if (e.cursor > e.max) return beep();
        removeAt(e, e.cursor, true);
      } else {
        const int low = selLow(e), count = selHigh(e) - low;
        removeRun(e, low, count);
        e.selStart = e.selEnd = low;
      }
      break;
    case 59:  // F1, Alt+F1
      if (e.alt) return end(e, 104);
      readNextWord(e);
      break;
    case 94: speech::speakText(trimmedRight(e.text)); break;  // Ctrl+F1
    case 62:  // F4
      g_keyEcho = !keyEcho();
      speech::playPiece(*g_keyEcho ? "_FALACI" : "_FALDLG");
      break;
    case 97: changeSpeed(); break;                // Ctrl+F4
    case 66: speech::speakCurrentTime(); break;   // F8
    case 101: speech::speakCurrentDate(); break;  // Ctrl+F8
    case 102:  // Ctrl+F9: with Alt the screen review, alone it ends
      if (!e.alt) return end(e, s);
      reviewScreen();
      break;
    case 104: speech::speakBattery(); break;  // Ctrl+F11
    case 70: openWord(e.text, e.cursor); break;  // F12
    case 255: copy(e); break;
    case 254: paste(e); break;
    default:
      if (s >= 120 && s <= 129) break;  // Alt with a digit
      return end(e, s);
  }
  if (clipboardKey) return;
  if (e.shift) e.selEnd = e.cursor;
  else clearSelection(e);
}

void noteModifiers(Editor& e) {
  const platform::Mods m = console::keyModifiers();
  e.shift = m.shift;
  e.alt = m.alt;
}

void handleNextKey(Editor& e) {
  uint8_t c = console::readKey();
  speech::stopSpeech();
  noteModifiers(e);
  e.lastCode = c;
  if (c != 0) return plainKey(e, c);
  const uint8_t s = console::readKey();
  e.lastCode = s;
  if (s < 16 || s > 18) return extendedKey(e, s);
  // Alt+Q, W or E before a key: the key counts alone. A special key after
  // it ends the editor; both its codes are taken, so that none is left
  // behind to be read as a character.
  c = console::readKey();
  noteModifiers(e);
  if (c == 0) {
    console::readKey();
    return end(e, s);
  }
  e.lastCode = c;
  plainKey(e, c);
}

}  // namespace

bool keyEcho() {
  if (!g_keyEcho) g_keyEcho = speech::keyEchoSetting();
  return *g_keyEcho;
}

int editLine(std::string& text, int column, int row, int maxLength) {
  Editor e;
  e.max = std::clamp(maxLength, 1, kMaxEditLength);
  e.column = std::clamp(column, 1, console::kColumns);
  e.row = std::clamp(row, 1, console::kRows);
  e.text = text;
  e.text.resize(count(e.max), ' ');
  e.initial = e.text;
  e.width = fieldWidth(e.column, e.max);
  while (!e.ended) {
    keepCursorVisible(e);
    console::showMagnifiedLine(shownPart(e), e.cursor - e.first + 1);
    draw(e);
    handleNextKey(e);
    e.firstKey = false;
  }
  console::hideMagnifiedLine();
  console::gotoXY(e.column, e.row);
  console::writeText(cells(std::string_view(e.text).substr(0, count(e.width))));
  console::gotoXY(e.column, e.row);
  text = trimmedRight(e.text);
  speech::stopSpeech();
  return e.lastCode;
}

void readLine(std::string& text) {
  text.clear();
  const int column = std::min(console::whereX(), console::kColumns), row = console::whereY();
  constexpr int kLineLength = 255;
  if (editLine(text, column, row, kLineLength) == kEscape) {
    // Only the field's own cells: a text longer than the field would blank
    // the rows below.
    console::gotoXY(column, row);
    console::writeText(std::string(std::min(text.size(), count(fieldWidth(column, kLineLength))), ' '));
    console::gotoXY(column, row);
    text.clear();
  }
  console::writeText("\r\n");
}

}  // namespace controls
