// LISTA [name] CRIA | APAGA | TAMANHO target | ITEM index target |
// ADICIONA value | DELETA value.
#include <string>

#include "engine/api.h"
#include "engine/libraries.h"
#include "engine/lists.h"
#include "engine/number.h"
#include "engine/readers.h"
#include "engine/text.h"
#include "engine/variables.h"

namespace engine {
namespace {

Status create(Interp& in, const std::string& name, std::string_view rest) {
  if (!rest.empty()) return false;
  if (findList(in, name)) return failSaying("A lista especificada j\xE1 existe");
  if (!createList(in, name)) return failSaying("Muitas listas no programa (m\xE1ximo 20)");
  return true;
}

Status erase(Interp& in, const std::string& name, std::string_view rest) { return rest.empty() && deleteList(in, name); }

Status size(Interp& in, const std::string& name, std::string_view rest) {
  const List* list = findList(in, name);
  int target;
  if (!list || !readTarget(in, rest, target)) return false;
  return setVariable(in, target, decimal(static_cast<int64_t>(list->items.size())));
}

Status item(Interp& in, const std::string& name, std::string_view rest) {
  const List* list = findList(in, name);
  std::string index;
  int32_t n;
  int target;
  if (!list || !readOperand(in, rest, index) || !numberValue(index, n) || !readTarget(in, rest, target)) return false;
  if (n < 0 || static_cast<size_t>(n) >= list->items.size()) return false;
  return setVariable(in, target, list->items[static_cast<size_t>(n)]);
}

Status add(Interp& in, const std::string& name, std::string_view rest) {
  List* list = findList(in, name);
  std::string value;
  if (!list || !readOperand(in, rest, value)) return false;
  return addItem(in, *list, std::move(value));
}

Status remove(Interp& in, const std::string& name, std::string_view rest) {
  List* list = findList(in, name);
  std::string value;
  return list && readOperand(in, rest, value) && removeItem(in, *list, value);
}

struct SubCommand {
  std::string_view word;
  Status (*run)(Interp& in, const std::string& name, std::string_view rest);
};

constexpr SubCommand kSubCommands[] = {
    {"CRIA", create}, {"APAGA", erase}, {"TAMANHO", size}, {"ITEM", item}, {"ADICIONA", add}, {"DELETA", remove},
};

Status lista(Interp& in, std::string_view text) {
  std::string name;
  if (!readListName(text, name)) return false;
  text = trim(text);
  for (const SubCommand& s : kSubCommands) {
    if (startsUpper(text, s.word)) return s.run(in, name, trim(text.substr(s.word.size())));
  }
  return false;
}

constexpr Command kListCommands[] = {
    {"LISTA", lista},
};

}  // namespace

Library listLibrary() { return kListCommands; }

}  // namespace engine
