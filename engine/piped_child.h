// The output of the program started with EXECUTA and three "&", as LE
// CONSOLE collects it.
#pragma once
#include <string>

namespace engine {

// What waits in the child's output pipe, then CR LF and what waits in its
// error pipe (or the error text alone when there was no output), with a
// final CR LF when anything came; empty without a piped child. Never blocks.
std::string pipedChildOutput();

}  // namespace engine
