#include "console/braille_keyboard.h"

#include "console/keyboard.h"
#include "console/screen.h"
#include "console/tone.h"
#include "platform/events.h"

namespace console {
namespace {

constexpr uint8_t kSpaceBit = 0x40;
constexpr uint8_t kNothing = 254;

struct BrailleState {
  int mode = 0;
  uint8_t chord = 0;
  uint8_t held = 0;
  bool capital = false;
  bool capsLock = false;
  bool number = false;
};

BrailleState g_braille;

// Characters of the 64 cells, indexed by dots 1..6 as bits 0..5 (Windows-1252).
constexpr uint8_t kCells[64] = {
    ' ',  'a',  ',',  'b',  '\'', 'k',  ';',  'l',  '^',  'c',  'i',  'f',  0xED, 'm',  's',  'p',
    '~',  'e',  ':',  'h',  '*',  'o',  '!',  'r',  0xAC, 'd',  'j',  'g',  0xE3, 'n',  't',  'q',
    0xFD, 0xE2, '?',  0xEA, '-',  'u',  '"',  'v',  '{',  0xEE, 0xF5, 0xE0, 0xF3, 'x',  0xE8, 0xE7,
    '$',  0xFB, 0xFF, 0xFC, '}',  'z',  '=',  0xE1, '_',  0xF4, 'w',  0xEF, '#',  'y',  0xFA, 0xE9};

uint8_t bitOf(int key) {
  switch (key) {
    case 'F': return 0x01;
    case 'D': return 0x02;
    case 'S': return 0x04;
    case 'J': return 0x08;
    case 'K': return 0x10;
    case 'L': return 0x20;
    case platform::kKeySpace: return kSpaceBit;
    default: return 0;
  }
}

void signal(int first, int second) {
  toneOn(first);
  delayMs(200);
  if (second) {
    toneOn(second);
    delayMs(200);
  }
  toneOff();
}

uint8_t textRules(uint8_t c) {
  BrailleState& b = g_braille;
  if (c == '\'') c = '.';
  else if (c == 0xFB) c = '@';
  if (b.number) {
    if (c >= 'a' && c <= 'i') c = static_cast<uint8_t>('1' + (c - 'a'));
    else if (c == 'j') c = '0';
    else if (c == '~') b.number = false;
  }
  if ((b.capital || b.capsLock) && c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 32);
  if (c == '#') {
    b.number = true;
    return kNothing;
  }
  if (c == '{') {
    if (b.capital) b.capsLock = true;
    b.capital = true;
    return kNothing;
  }
  b.capital = false;
  return c;
}

}  // namespace

void setBrailleMode(int mode) {
  if (mode > 2) mode = 1;
  const int old = g_braille.mode;
  g_braille.mode = mode;
  if (mode == 0) {
    g_braille = BrailleState{};
    if (old != 0) signal(100, 0);
  } else {
    signal(800, mode == 1 ? 1600 : 400);
  }
}

int brailleMode() { return g_braille.mode; }

uint8_t cellCharacter(uint8_t dots) { return kCells[dots & 0x3F]; }

bool brailleKeyDown(int key) {
  const uint8_t bit = bitOf(key);
  if (!bit) return false;
  g_braille.chord |= bit;
  g_braille.held |= bit;
  return true;
}

void brailleKeyUp(int key) {
  g_braille.held &= static_cast<uint8_t>(~bitOf(key));
  if (g_braille.held) return;
  const uint8_t c = chordCharacter(g_braille.chord);
  g_braille.chord = 0;
  if (c != kNothing && queuedCount() <= kKeyQueueSize - 1) appendCode(c);
}

void clearBrailleTextFlags() { g_braille.capital = g_braille.capsLock = g_braille.number = false; }

uint8_t chordCharacter(uint8_t chord) {
  const uint8_t dots = chord & 0x3F;
  if (chord == kSpaceBit) return ' ';
  if (chord & kSpaceBit) {
    clearBrailleTextFlags();
    return kCells[dots] & 31;
  }
  return g_braille.mode == 2 ? textRules(kCells[dots]) : kCells[dots];
}

}  // namespace console
