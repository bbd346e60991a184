// MENU: CRIA a menu in a rectangle, ADICIONA items, EXECUTA the choice
// (number, key and text into three variables), TERMINA it.
#include <optional>
#include <string>

#include "console/keyboard.h"
#include "controls/menu.h"
#include "engine/api.h"
#include "engine/libraries.h"
#include "engine/number.h"
#include "engine/option_word.h"
#include "engine/readers.h"
#include "engine/text.h"
#include "engine/values.h"
#include "engine/variables.h"

namespace engine {
namespace {

Status cria(Interp& in, std::string_view text) {
  int32_t corner[4];
  for (int32_t& n : corner) {
    std::string value;
    if (!readOperand(in, text, value) || !numberValue(value, n)) return false;
  }
  controls::createMenu(corner[0], corner[1], corner[2], corner[3]);
  return text.empty();
}

Status adiciona(Interp& in, std::string_view text) {
  std::string item;
  if (!controls::menuCreated() || !readOperand(in, text, item)) return false;
  controls::addMenuItem(std::move(item));
  return text.empty();
}

Status executa(Interp& in, std::string_view text) {
  int number, key, chosen;
  if (!controls::menuCreated() || !readTarget(in, text, number) || !readTarget(in, text, key) || !readTarget(in, text, chosen)) {
    return false;
  }
  // The start: a positive number, 0 or less for the first item; a value
  // that is no number leaves the start of the last run.
  int32_t start;
  const std::optional<int> from = numberValue(trim(variable(in, number)), start) ? std::optional<int>(start) : std::nullopt;
  const controls::MenuChoice c = controls::runMenu(from);
  if (Status s = setVariable(in, number, decimal(c.number)); !s.ok()) return s;
  if (Status s = setVariable(in, key, console::keyCodeText(static_cast<uint8_t>(c.code), c.scan, false)); !s.ok()) return s;
  if (Status s = setVariable(in, chosen, c.text); !s.ok()) return s;
  return text.empty();
}

Status menu(Interp& in, std::string_view text) {
  if (takeWord(text, "CRIA")) return cria(in, text);
  if (takeWord(text, "ADICIONA")) return adiciona(in, text);
  if (takeWord(text, "EXECUTA")) return executa(in, text);
  if (takeWord(text, "TERMINA")) {
    controls::endMenu();
    return text.empty();
  }
  return false;
}

constexpr Command kMenuCommands[] = {{"MENU", menu}};

}  // namespace

Library menuLibrary() { return kMenuCommands; }

}  // namespace engine
