// The way a command that wants the user to know why it failed fails: the
// message is written and spoken on its own line, then the command fails.
#pragma once
#include <string_view>

#include "engine/variables.h"

namespace engine {

bool failSaying(std::string_view message);

// Refuses a text that would grow past kMaxValueSize, saying so.
bool fitsOrSays(size_t size);

}  // namespace engine
