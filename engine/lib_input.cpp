// LE from the keyboard and the mouse: one key, a line with plain echo, a
// hidden line, a line in the line editor, an existing value to edit, the
// mouse position; and the output of a piped program. Its channel form
// belongs to the channels.
#include <string>

#include "console/keyboard.h"
#include "console/screen.h"
#include "controls/hidden_input.h"
#include "controls/line_editor.h"
#include "engine/api.h"
#include "engine/libraries.h"
#include "engine/option_word.h"
#include "engine/piped_child.h"
#include "engine/readers.h"
#include "engine/text.h"
#include "engine/values.h"
#include "engine/variables.h"
#include "platform/platform.h"
#include "speech/speech_service.h"

namespace engine {
namespace {

constexpr int kEditLength = 1024;

// Removes "TECLA " wherever it stands among the operands.
bool takeTecla(std::string_view text, std::string& rest) {
  const size_t at = upper(text).find("TECLA ");
  rest = std::string(text);
  if (at == std::string::npos) return false;
  rest.erase(at, 6);
  return true;
}

bool readTargetOnly(Interp& in, std::string_view text, int& target) { return readTarget(in, text, target) && text.empty(); }

// LE MOUSE x y, LE RATO TELA x y.
Status readMouse(Interp& in, std::string_view text) {
  const bool onScreen = takeWord(text, "TELA ");
  int x, y;
  if (!readTarget(in, text, x) || !readTarget(in, text, y) || !text.empty()) return false;
  console::ensureConsole();
  int px = 0, py = 0;
  platform::backend().mousePosition(onScreen, px, py);
  if (Status s = setVariable(in, x, decimal(px)); !s.ok()) return s;
  return setVariable(in, y, decimal(py));
}

// One key: spoken (or not), as scripts compare keys: "a", "#13", "#0#61".
std::string readOneKey(bool mute, bool modifierPrefix) {
  const uint8_t code = mute ? console::readKey() : speech::echoKey();
  const int scan = code == 0 ? console::readKey() : -1;
  return console::keyCodeText(code, scan, modifierPrefix);
}

Status le(Interp& in, std::string_view text) {
  setChannelStatus(in, 0);
  if (takeWord(text, "MOUSE ") || takeWord(text, "RATO ")) return readMouse(in, text);
  std::string operands;
  const bool tecla = takeTecla(text, operands);
  text = trim(operands);
  const bool oneKey = takeAmpersand(text) || tecla;
  if (!text.empty() && text[0] == '#') return readLineFromChannel(in, text);
  if (takeWord(text, "EDITA")) {
    int target;
    if (!readTargetOnly(in, text, target)) return false;
    std::string value = variable(in, target);
    if (controls::editLine(value, console::whereX(), console::whereY(), kEditLength) == controls::kEscape) {
      value.clear();
    }
    return setVariable(in, target, std::move(value));
  }
  if (takeWord(text, "CONSOLE ")) {
    // Whatever follows the variable is left alone once the output is stored.
    int target;
    if (!readTarget(in, text, target)) return false;
    return setVariable(in, target, pipedChildOutput());
  }
  const bool mute = takeWord(text, "MUDO");
  const bool hidden = !mute && takeWord(text, "SENHA");
  if (text.empty()) {
    // Nothing to store: a key or a line is taken and dropped.
    if (oneKey) console::readKey();
    else if (!mute && !hidden) console::readLineBasic();
    else return false;
    return true;
  }
  int target;
  if (!readTargetOnly(in, text, target)) return false;
  std::string value;
  if (oneKey) {
    value = readOneKey(mute || hidden, tecla);
  } else if (hidden) {
    value = controls::readHiddenLine();
  } else if (mute) {
    value = console::readLineBasic();
    value.resize(value.size() - 2);  // without its CR LF
  } else {
    controls::readLine(value);
  }
  return setVariable(in, target, std::move(value));
}

constexpr Command kInputCommands[] = {{"L\xCA", le, "LE"}};

}  // namespace

Library inputLibrary() { return kInputCommands; }

}  // namespace engine
