// The terminal's description through terminfo's low-level calls, kept in
// one file: <term.h> defines a macro for every capability name.
#pragma once
#include <string>

namespace platform {

// Reads the description of $TERM; false when there is none.
bool loadTerminfo();

// A capability as the description has it; empty when it lacks it.
std::string terminfoString(const char* name);
int terminfoNumber(const char* name);  // -1 when absent
bool terminfoFlag(const char* name);

// The bytes to send for a capability, its parameters filled in and its
// padding done; empty when the terminal lacks it.
std::string terminfoOutput(const char* name, int p1 = 0, int p2 = 0, int p3 = 0);

}  // namespace platform
