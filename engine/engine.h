// The script engine as a program entry sees it: an interpreter, the lines
// stored into it, the host started, the program run.
#pragma once
#include <string_view>

#include "engine/interp.h"
#include "engine/status.h"
#include "engine/store.h"

namespace engine {

// Speech with the configured sound directory, a clear screen and the window
// titled with the program's name; and the interpreter's bound of texts from
// Escuta.ini.
void startEngine(Interp& in, std::string_view programName);

// Runs the stored program from line 1 and gives the end-of-run report.
// False when the run ended with the execution-error report.
bool runProgram(Interp& in);

}  // namespace engine
