// The entry shared by every program of the runtime: roteiro with a script
// file, telinha and telinha_con with the script built into them. Each one
// starts the platform, starts the engine under its own name, stores its
// lines and runs them; "--check" looks the lines over instead.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "engine/interp.h"

namespace app {

struct ScriptProgram {
  const char* name;   // window title and the name startEngine gets
  const char* usage;  // the program's own part of --help
  // Stores the script's lines into the interpreter; false with the reason.
  // `args` are the arguments after the shared options.
  bool (*store)(engine::Interp& in, const std::vector<std::string>& args, std::string& error);
  // Runs after the lines are stored and the engine started, before line 1:
  // where a program puts its deployment values into the script. May be null.
  void (*prepare)();
  // How many leading arguments belong to the program, not to PARAMS.
  int ownArgs;
};

// The whole of main(): the status to exit with.
int runScriptProgram(int argc, char** argv, const ScriptProgram& program);

// Stores a table of Windows-1252 lines as lines 1, 2, 3 ...
bool storeLines(engine::Interp& in, const char* const* lines, size_t count, std::string& error);

}  // namespace app
