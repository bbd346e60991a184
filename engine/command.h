// What a script command is to the engine: a keyword, its handler and the
// keyword's other form.
// Handler convention: the handler gets its operand text, trimmed, and returns
// success or failure, with the message the user is to hear when it has one
// (failure ends the run with the execution-error report).
// It moves execution by setting the current line (the run goes on after it)
// and ends the run normally by setting the stop flag.
#pragma once
#include <span>
#include <string_view>

#include "engine/status.h"

namespace engine {

struct Interp;

using Handler = Status (*)(Interp& in, std::string_view operands);

struct Command {
  const char* keyword;  // upper case, Windows-1252
  Handler handler;
  // The same keyword's other spelling, accented (T\xCDTULO) or plain (LE);
  // null when it has none.
  const char* otherForm = nullptr;
};

// Each library of commands is a table of them.
using Library = std::span<const Command>;

}  // namespace engine
