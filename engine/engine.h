// The script engine as a program entry sees it: start it, store the script,
// run it.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "engine/store.h"

namespace engine {

// Empties variables, lists and channels and readies the interpreter state;
// records the start time that TEMPO counts from. Needs no console.
void resetEngine();

// resetEngine, then speech with the configured sound directory, a clear
// screen, and the window titled with the program's name.
void initEngine(std::string_view programName);

// The program's command-line parameters, as SEJA x PARAMS gives them.
void setParams(std::vector<std::string> params);
const std::vector<std::string>& params();

// Runs the stored program from line 1 and gives the end-of-run report.
// False when the run ended with the execution-error report.
bool runProgram();

// Executes one command line; nested lines (behind a one-line SE) refuse the
// block keywords.
bool runCommandLine(std::string_view text, bool nested);

// Moves execution to the label line of that name (any letter case).
bool findLabel(std::string_view name);

}  // namespace engine
