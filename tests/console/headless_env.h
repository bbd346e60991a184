// The console tests run in the headless backend with their own Escuta.ini and
// a transcript they can read back.
#pragma once
#include <string>

namespace testenv {

// The Escuta.ini the console starts with; each test program defines it.
extern const char* const kTestIni;

// The transcript written since the previous call.
std::string newTranscript();

// Clears the screen, the key queue and the colours between tests.
void resetConsole();

}  // namespace testenv
