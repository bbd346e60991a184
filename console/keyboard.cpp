#include "console/keyboard.h"

#include <cstring>

#include "console/braille_keyboard.h"
#include "console/console_state.h"
#include "console/screen.h"
#include "platform/platform.h"
#include "platform/transcript.h"

namespace console {
namespace {

// A code with the modifiers held when its key went down: a key is read with
// them even when they were let go before the program took it.
struct QueuedCode {
  uint8_t code;
  platform::Mods mods;
};

struct KeyState {
  QueuedCode queue[kKeyQueueSize];
  int count = 0;
  platform::Mods eventMods;  // of the last key event
  platform::Mods readMods;   // of the code last read
  bool breakCheck = true;
  bool ignoreNextClick = false;
  bool extendedPending = false;  // the 0 of a special key was read; its scan code comes next
  bool secret = false;           // a password is being typed
};

KeyState g_keys;

struct SpecialKey {
  int key;
  uint8_t plain;
  uint8_t ctrl;
};

const SpecialKey kSpecialKeys[] = {
    {platform::kKeyInsert, 82, 255}, {platform::kKeyDelete, 83, 83},   {platform::kKeyHome, 71, 119},
    {platform::kKeyEnd, 79, 117},    {platform::kKeyPageUp, 73, 132},  {platform::kKeyPageDown, 81, 118},
    {platform::kKeyUp, 72, 113},     {platform::kKeyDown, 80, 114},    {platform::kKeyLeft, 75, 115},
    {platform::kKeyRight, 77, 116},
};

// Ctrl+Alt with a letter: the PC's scan codes of the letter keys.
constexpr uint8_t kAltLetters[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                     49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};

void recordKey(uint8_t code) {
  if (!platform::transcriptOpen()) return;
  if (code == 0 && !g_keys.extendedPending) {
    g_keys.extendedPending = true;
    return;
  }
  const bool extended = g_keys.extendedPending;
  g_keys.extendedPending = false;
  if (g_keys.secret && !extended && code >= 32) {
    platform::transcriptEvent("KEY", "*");
    return;
  }
  platform::transcriptEvent("KEY", extended ? keyCodeText(0, code, false) : keyCodeText(code, -1, false));
}

}  // namespace

void setSecretInput(bool on) { g_keys.secret = on; }

int queuedCount() { return g_keys.count; }

bool appendCode(uint8_t code) {
  if (g_keys.count >= kKeyQueueSize) return false;
  g_keys.queue[g_keys.count++] = {code, g_keys.eventMods};
  return true;
}

bool appendExtended(uint8_t scan) {
  if (g_keys.count > kKeyQueueSize - 2) return false;
  g_keys.queue[g_keys.count++] = {0, g_keys.eventMods};
  g_keys.queue[g_keys.count++] = {scan, g_keys.eventMods};
  return true;
}

void drainKeys() { g_keys.count = 0; }

bool keyPressed() {
  ensureConsole();
  pumpMessages();
  return g_keys.count > 0;
}

uint8_t readKey() {
  ensureConsole();
  if (g_keys.count == 0) {
    g_screen.waitingForKey = true;
    showCaret(true);
    while (!keyPressed()) {
      platform::setAwaitingKey(true);
      platform::Event ev;
      if (platform::nextEvent(ev, -1)) handleEvent(ev);
    }
    platform::setAwaitingKey(false);
    showCaret(false);
    g_screen.waitingForKey = false;
  }
  const QueuedCode first = g_keys.queue[0];
  std::memmove(g_keys.queue, g_keys.queue + 1, static_cast<size_t>(--g_keys.count) * sizeof(QueuedCode));
  g_keys.readMods = first.mods;
  recordKey(first.code);
  return first.code;
}

platform::Mods keyModifiers() { return g_keys.readMods; }

void pushKey(uint8_t code) {
  if (g_keys.count < kKeyQueueSize) g_keys.queue[g_keys.count++] = {code, g_keys.readMods};
  platform::backend().wake();
}

std::string readLineBasic(int n) {
  std::string line;
  for (;;) {
    const uint8_t c = readKey();
    if (c == 13) break;
    if (c == 8) {
      if (!line.empty()) {
        writeText("\b");
        line.pop_back();
      }
    } else if (c >= 32 && static_cast<int>(line.size()) < n - 2) {
      line += static_cast<char>(c);
      writeText(std::string_view(&line.back(), 1));
    }
  }
  writeText("\r\n");
  return line + "\r\n";
}

std::string keyCodeText(uint8_t code, int scan, bool modifierPrefix) {
  std::string text;
  if (modifierPrefix) {
    const platform::Mods m = keyModifiers();
    text = std::string(m.shift ? "1" : "0") + (m.ctrl ? "1" : "0") + (m.alt ? "1" : "0");
  }
  if (scan >= 0) return text + "#0#" + std::to_string(scan);
  if (code >= 32 && !modifierPrefix) return text + static_cast<char>(code);
  return text + "#" + std::to_string(code);
}

void onKeyDown(int key, platform::Mods mods, bool system) {
  using namespace platform;
  g_keys.eventMods = mods;
  if (system && g_keys.breakCheck && key != kKeyLeft && key != kKeyRight) {
    // What the window system does with the other system keys: Alt+F4 closes.
    if (key == kKeyF1 + 3 && mods.alt) closeConsole();
    return;
  }
  if (g_keys.breakCheck && key == kKeyCancel) closeConsole();
  if (mods.alt) {
    if (mods.ctrl && key == kKeyF12) return setBrailleMode(0);
    if (mods.ctrl && key == kKeyF1 + 10) return setBrailleMode(brailleMode() + 1);
    if (key >= 'A' && key <= 'Z') {
      appendExtended(kAltLetters[key - 'A']);
      return;
    }
    if (key >= '0' && key <= '9') {
      appendExtended(static_cast<uint8_t>(key == '0' ? 129 : 119 + (key - '0')));
      return;
    }
  }
  if (!mods.ctrl && brailleMode() != 0 && brailleKeyDown(key)) return;
  if (g_keys.count > kKeyQueueSize - 2) return;
  if (key >= kKeyF1 && key <= kKeyF12) {
    appendExtended(static_cast<uint8_t>((mods.ctrl ? 94 : 59) + (key - kKeyF1)));
    return;
  }
  for (const SpecialKey& s : kSpecialKeys) {
    if (s.key != key) continue;
    appendExtended(mods.ctrl ? s.ctrl : (key == kKeyInsert && mods.shift) ? 254 : s.plain);
    return;
  }
}

void onKeyUp(int key, platform::Mods mods) {
  g_keys.eventMods = mods;
  if (brailleMode() == 0) return;
  const bool letter = key >= 'A' && key <= 'Z';
  if ((key == platform::kKeySpace || letter) && !mods.ctrl) brailleKeyUp(key);
  else clearBrailleTextFlags();
}

void onChar(uint8_t ch) {
  const bool letter = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
  if (brailleMode() != 0 && (ch == ' ' || letter)) return;
  appendCode(ch);
}

void onMouseDown(int button, platform::Mods mods) {
  g_keys.eventMods = mods;
  if (g_keys.ignoreNextClick) {
    g_keys.ignoreNextClick = false;
    return;
  }
  if (button == platform::kMouseLeft) appendCode(13);
  else if (button == platform::kMouseRight) appendCode(27);
  else appendExtended(67);
}

void onWheel(int direction, platform::Mods mods) {
  g_keys.eventMods = mods;
  if (g_keys.ignoreNextClick) {
    g_keys.ignoreNextClick = false;
    return;
  }
  appendExtended(direction > 0 ? 72 : 80);
}

void onFocus(bool gained, bool buttonsDown) { g_keys.ignoreNextClick = gained && buttonsDown; }

void setBreakCheck(bool on) { g_keys.breakCheck = on; }

}  // namespace console
