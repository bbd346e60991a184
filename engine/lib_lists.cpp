// LISTA [name] CRIA | APAGA | TAMANHO target | ITEM index target |
// ADICIONA value | DELETA value.
#include <string>

#include "engine/fail.h"
#include "engine/libraries.h"
#include "engine/lists.h"
#include "engine/number.h"
#include "engine/readers.h"
#include "engine/text.h"
#include "engine/variables.h"

namespace engine {
namespace {

bool create(const std::string& name, std::string_view rest) {
  if (!rest.empty()) return false;
  if (findList(name)) return failSaying("A lista especificada j\xE1 existe");
  if (!createList(name)) return failSaying("Muitas listas no programa (m\xE1ximo 20)");
  return true;
}

bool erase(const std::string& name, std::string_view rest) { return rest.empty() && deleteList(name); }

bool size(const std::string& name, std::string_view rest) {
  const List* list = findList(name);
  int target;
  if (!list || !readTarget(rest, target)) return false;
  return setVariable(target, decimal(static_cast<int64_t>(list->items.size())));
}

bool item(const std::string& name, std::string_view rest) {
  const List* list = findList(name);
  std::string index;
  int32_t n;
  int target;
  if (!list || !readOperand(rest, index) || !numberValue(index, n) || !readTarget(rest, target)) return false;
  if (n < 0 || static_cast<size_t>(n) >= list->items.size()) return false;
  return setVariable(target, list->items[static_cast<size_t>(n)]);
}

bool add(const std::string& name, std::string_view rest) {
  List* list = findList(name);
  std::string value;
  return list && readOperand(rest, value) && addItem(*list, std::move(value));
}

bool remove(const std::string& name, std::string_view rest) {
  List* list = findList(name);
  std::string value;
  return list && readOperand(rest, value) && removeItem(*list, value);
}

struct SubCommand {
  std::string_view word;
  bool (*run)(const std::string& name, std::string_view rest);
};

constexpr SubCommand kSubCommands[] = {
    {"CRIA", create}, {"APAGA", erase}, {"TAMANHO", size}, {"ITEM", item}, {"ADICIONA", add}, {"DELETA", remove},
};

bool lista(std::string_view text) {
  std::string name;
  if (!readListName(text, name)) return false;
  text = trim(text);
  for (const SubCommand& s : kSubCommands) {
    if (startsUpper(text, s.word)) return s.run(name, trim(text.substr(s.word.size())));
  }
  return false;
}

constexpr Command kListCommands[] = {
    {"LISTA", lista},
};

}  // namespace

Library listLibrary() { return kListCommands; }

}  // namespace engine
