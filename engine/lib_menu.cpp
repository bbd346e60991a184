// MENU: CRIA a menu in a rectangle, ADICIONA items, EXECUTA the choice
// (number, key and text into three variables), TERMINA it.
#include <optional>
#include <string>

#include "console/keyboard.h"
#include "controls/menu.h"
#include "engine/libraries.h"
#include "engine/number.h"
#include "engine/option_word.h"
#include "engine/readers.h"
#include "engine/text.h"
#include "engine/values.h"
#include "engine/variables.h"

namespace engine {
namespace {

bool cria(std::string_view text) {
  int32_t corner[4];
  for (int32_t& n : corner) {
    std::string value;
    if (!readOperand(text, value) || !numberValue(value, n)) return false;
  }
  controls::createMenu(corner[0], corner[1], corner[2], corner[3]);
  return text.empty();
}

bool adiciona(std::string_view text) {
  std::string item;
  if (!controls::menuCreated() || !readOperand(text, item)) return false;
  controls::addMenuItem(std::move(item));
  return text.empty();
}

bool executa(std::string_view text) {
  int number, key, chosen;
  if (!controls::menuCreated() || !readTarget(text, number) || !readTarget(text, key) || !readTarget(text, chosen)) {
    return false;
  }
  // The start: a positive number, 0 or less for the first item; a value
  // that is no number leaves the start of the last run.
  int32_t start;
  const std::optional<int> from = numberValue(trim(variable(number)), start) ? std::optional<int>(start) : std::nullopt;
  const controls::MenuChoice c = controls::runMenu(from);
  return setVariable(number, decimal(c.number)) &&
         setVariable(key, console::keyCodeText(static_cast<uint8_t>(c.code), c.scan, false)) &&
         setVariable(chosen, c.text) && text.empty();
}

bool menu(std::string_view text) {
  if (takeWord(text, "CRIA")) return cria(text);
  if (takeWord(text, "ADICIONA")) return adiciona(text);
  if (takeWord(text, "EXECUTA")) return executa(text);
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
