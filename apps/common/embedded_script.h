// The script a program carries built in, made at build time by embed_script
// from the program's script files (escuta_embedded_program in CMake).
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "engine/interp.h"

namespace app {

struct EmbeddedScript {
  const char* const* lines;  // Windows-1252, as the program store keeps them
  size_t count;
};

// Defined by the generated source of each program that has one.
extern const EmbeddedScript kEmbeddedScript;

// A ScriptProgram's store: the built-in lines, whatever the arguments.
bool storeEmbeddedScript(engine::Interp& in, const std::vector<std::string>& args, std::string& error);

}  // namespace app
