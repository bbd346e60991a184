// The command table: every keyword of the language with the handler its
// library supplies.
#pragma once
#include <span>
#include <string_view>

#include "engine/command.h"

namespace engine {

struct Entry {
  std::string_view forms[2];  // the keyword, and its other form or empty
  Handler handler;
};

// Every entry: the libraries' commands in the libraries' order.
std::span<const Entry> commandTable();

// The entry of an upper-cased keyword, or null when the language has none.
const Entry* findCommand(std::string_view upperKeyword);

// Calls the entry's handler. An unknown keyword fails saying "Comando
// inválido: " and the keyword.
Status callCommand(Interp& in, const Entry* entry, std::string_view upperKeyword, std::string_view operands);

}  // namespace engine
