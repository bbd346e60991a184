// What every program does first: the shared command line, the backend, and
// the console's own exit steps.
#pragma once
#include <string>

#include "platform/options.h"

namespace console {

// -1 when the program goes on; else the status to exit with.
int startProgram(int argc, char** argv, const std::string& usage, platform::Options& options);

}  // namespace console
