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
  setVariable(target, decimal(static_cast<int64_t>(list->items.size())));
  return true;
}

bool item(const std::string& name, std::string_view rest) {
  const List* list = findList(name);
  std::string index;
  int32_t n;
  int target;
  if (!list || !readOperand(rest, index) || !numberValue(index, n) || !readTarget(rest, target)) return false;
  if (n < 0 || static_cast<size_t>(n) >= list->items.size()) return false;
  setVariable(target, list->items[static_cast<size_t>(n)]);
  return true;
}

bool add(const std::string& name, std::string_view rest) {
  List* list = findList(name);
  std::string value;
  if (!list || !readOperand(rest, value)) return false;
  list->items.push_back(std::move(value));
  return true;
}

bool remove(const std::string& name, std::string_view rest) {
  List* list = findList(name);
  std::string value;
  if (!list || !readOperand(rest, value)) return false;
  for (auto it = list->items.begin(); it != list->items.end(); ++it) {
    if (sameIgnoringCase(*it, value)) {
      list->items.erase(it);
      return true;
    }
  }
  return false;
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
