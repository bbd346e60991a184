// Desktop automation commands: typing and pressing keys, clicking, other
// programs' windows, the window in front, the console's handle, the
// clipboard and other programs' accessible objects.
#include <string>

#include "automation/accessibility.h"
#include "automation/desktop.h"
#include "automation/key_names.h"
#include "automation/keystrokes.h"
#include "automation/virtual_keys.h"
#include "automation/window_pattern.h"
#include "console/clipboard.h"
#include "console/screen.h"
#include "engine/api.h"
#include "engine/libraries.h"
#include "engine/option_word.h"
#include "engine/readers.h"
#include "engine/text.h"
#include "engine/variables.h"
#include "platform/base/codepage.h"
#include "platform/platform.h"

namespace engine {
namespace {

constexpr int kTypingPauseMs = 100;
constexpr size_t kTitleLength = 254;       // CAPTURA's titles
constexpr size_t kMatchTitleLength = 143;  // titles JANELA compares
constexpr size_t kClipboardSize = 1000000;  // with the terminating zero

std::string cut(std::string text, size_t length) {
  if (text.size() > length) text.resize(length);
  return text;
}

// The first word of the operands, up to the first blank, upper-cased.
std::string firstWord(std::string_view& text) {
  size_t end = 0;
  while (end < text.size() && !isBlank(text[end])) ++end;
  std::string word = upper(text.substr(0, end));
  text = trim(text.substr(end));
  return word;
}

Status digita(Interp& in, std::string_view text) {
  std::string value;
  if (!readOperand(in, text, value)) return false;
  const bool noEnter = text == "&";
  if (!noEnter && !text.empty()) return false;
  if (!automation::typeText(value, kTypingPauseMs)) return false;
  return noEnter || automation::pressKey(automation::kVkReturn, false, false, false, kTypingPauseMs);
}

Status aciona(Interp& in, std::string_view text) {
  std::string value;
  if (!readOperand(in, text, value) || !text.empty() || value.empty()) return false;
  if (value.size() == 1) {
    const auto c = static_cast<uint8_t>(value[0]);
    return c >= 32 && c <= 127 ? automation::pressCharKey(c) : automation::typeChar(c, 1);
  }
  automation::KeyCombination k;
  if (!automation::parseKeyCombination(upper(value), k)) return false;
  return automation::pressKey(k.key, k.ctrl, k.shift, k.alt, kTypingPauseMs);
}

Status clica(Interp& in, std::string_view text) {
  automation::ClickMode mode = automation::ClickMode::Single;
  if (takeWord(text, "DUPLO")) mode = automation::ClickMode::Double;
  else if (takeWord(text, "NULO")) mode = automation::ClickMode::Move;
  const bool onScreen = takeWord(text, "TELA");
  int32_t x, y;
  if (!readNumber(in, text, x)) return false;
  if (!text.empty() && text[0] == ',') text = trim(text.substr(1));
  if (!readNumber(in, text, y) || !text.empty()) return false;
  int ox = 0, oy = 0;
  if (!onScreen && !automation::pointerOrigin(ox, oy)) return false;
  return automation::clickAt(ox + x, oy + y, mode);
}

Status janela(Interp& in, std::string_view text) {
  setChannelStatus(in, 0);
  const std::string action = firstWord(text);
  std::string pattern;
  if (!readOperand(in, text, pattern)) return false;
  automation::Desktop* desktop = automation::desktop();
  if (desktop) {
    const std::string wanted = upper(pattern);
    for (const automation::WindowInfo& w : desktop->windows()) {
      const std::string title = upper(cut(platform::utf8ToCp1252(w.title), kMatchTitleLength));
      if (!automation::titleMatches(wanted, title)) continue;
      automation::WindowAction a;
      if (action == "FECHA") a = automation::WindowAction::Close;
      else if (action == "NORMAL") a = automation::WindowAction::Normal;
      else if (action == "MAXIMIZA") a = automation::WindowAction::Maximize;
      else if (action == "MINIMIZA") a = automation::WindowAction::Minimize;
      else return false;
      desktop->act(w.id, a);
      return true;
    }
  }
  setChannelStatus(in, 1);
  return true;
}

// Home, Shift+End and Ctrl+Insert make the focused program select its
// field and copy it; its text is then on the clipboard.
std::string focusedField() {
  automation::pressKey(automation::kVkHome, false, false, false, kTypingPauseMs);
  automation::pressKey(automation::kVkEnd, false, true, false, kTypingPauseMs);
  automation::pressKey(automation::kVkInsert, true, false, false, kTypingPauseMs);
  return console::pasteFromClipboard(kTitleLength + 1);
}

Status captura(Interp& in, std::string_view text) {
  if (text.empty()) return false;
  const std::string what = firstWord(text);
  int target;
  if (!readTarget(in, text, target)) return false;
  console::ensureConsole();
  std::string value;
  if (what == "ATIVA" || what == "TITULO" || what == "T\xCDTULO") {
    value = cut(platform::utf8ToCp1252(automation::activeWindowTitle()), kTitleLength);
  } else if (what == "FOCO") {
    // The console is this program's one window: its title while it has the focus.
    value = cut(platform::utf8ToCp1252(automation::focusedConsoleTitle()), kTitleLength);
  } else if (what == "CAMPO") {
    value = focusedField();
  }
  return setVariable(in, target, std::move(value));
}

Status handle(Interp& in, std::string_view text) {
  int target;
  if (!readTarget(in, text, target)) return false;
  console::ensureConsole();
  return setVariable(in, target, decimal(static_cast<int64_t>(platform::backend().windowHandle())));
}

Status transfere(Interp& in, std::string_view text) {
  const bool from = takeWord(text, "DE ");
  if (!from && !takeWord(text, "PARA ")) return false;
  int target;
  if (!readTarget(in, text, target) || !text.empty()) return false;
  if (!from) return setVariable(in, target, console::pasteFromClipboard(kClipboardSize));
  console::copyToClipboard(cut(variable(in, target), kClipboardSize - 1));
  return true;
}

// MSAA AREA: left, top, width, height, each into its variable; the first
// bad variable fails, the earlier ones already set.
Status accessibleArea(Interp& in, std::string_view text) {
  const automation::AccessibleProperties& p = automation::capturedAccessible();
  for (const int n : {p.left, p.top, p.width, p.height}) {
    int target;
    if (!readTarget(in, text, target)) return false;
    Status set = setVariable(in, target, decimal(n));
    if (!set.ok()) return set;
  }
  return true;
}

// One captured property into a variable.
Status accessibleProperty(Interp& in, std::string_view text, std::string value) {
  int target;
  if (!readTarget(in, text, target)) return false;
  return setVariable(in, target, std::move(value));
}

Status msaa(Interp& in, std::string_view text) {
  const automation::AccessibleProperties& p = automation::capturedAccessible();
  if (takeWord(text, "MONITORA")) {
    automation::startAccessibilityEvents();
    return true;
  }
  if (takeWord(text, "FIM")) {
    automation::stopAccessibilityEvents();
    return true;
  }
  if (takeWord(text, "CHECA")) {
    int target;
    if (!readTarget(in, text, target)) return false;
    return setVariable(in, target, automation::nextAccessibilityEvent() ? "1" : "0");
  }
  if (takeWord(text, "CAPTURA")) {
    int32_t x, y;
    if (!readNumber(in, text, x)) return false;
    if (!text.empty() && text[0] == ',') text = trim(text.substr(1));
    if (!readNumber(in, text, y)) return false;
    automation::captureAccessibleAt(x, y);
    return true;
  }
  if (takeWord(text, "AREA")) return accessibleArea(in, text);
  if (takeWord(text, "NOME")) return accessibleProperty(in, text, platform::utf8ToCp1252(p.name));
  if (takeWord(text, "CODIGO") || takeWord(text, "C\xD3" "DIGO")) {
    return accessibleProperty(in, text, decimal(p.roleCode));
  }
  if (takeWord(text, "TIPO")) return accessibleProperty(in, text, platform::utf8ToCp1252(p.roleText));
  if (takeWord(text, "ESTADO")) return accessibleProperty(in, text, platform::utf8ToCp1252(p.stateText));
  if (takeWord(text, "VALOR")) return accessibleProperty(in, text, platform::utf8ToCp1252(p.value));
  return false;
}

constexpr Command kAutomationCommands[] = {
    {"DIGITA", digita},   {"ACIONA", aciona}, {"CLICA", clica},         {"JANELA", janela},
    {"CAPTURA", captura}, {"HANDLE", handle}, {"TRANSFERE", transfere}, {"MSAA", msaa},
};

}  // namespace

Library automationLibrary() { return kAutomationCommands; }

}  // namespace engine
