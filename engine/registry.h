// The command table: every keyword of the language, in its fixed order, with
// the handler its library supplies.
#pragma once
#include <span>
#include <string_view>

#include "engine/command.h"

namespace engine {

struct Entry {
  std::string_view forms[2];  // the keyword, and an accented form or empty
  Handler handler;            // null while its library has not arrived
};

// The 85 entries in order.
std::span<const Entry> commandTable();

// The entry of an upper-cased keyword, or null when the language has none.
const Entry* findCommand(std::string_view upperKeyword);

// Calls the entry's handler. An unknown keyword says "Comando inválido: " and
// the keyword; a command whose library is still to come says so, naming it.
// Both fail.
bool callCommand(const Entry* entry, std::string_view upperKeyword, std::string_view operands);

}  // namespace engine
