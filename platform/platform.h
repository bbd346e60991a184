// The platform layer's front: starts the chosen backend and hands out events,
// merging the keys of a key script with the backend's own.
#pragma once
#include <cstdint>
#include <string>

#include "platform/backend.h"
#include "platform/options.h"

namespace platform {

// Parses the command line, chooses the backend and opens the transcript and
// the key script. Returns -1 when the program should go on, else the exit
// status (after --help, --version or a bad option, with the message printed).
int start(int argc, char** argv, const std::string& usage, Options& options);

Backend& backend();
// The program's name, as its messages begin.
const std::string& programName();
bool headless();
// Whether the backend draws in the program's terminal (tty).
bool inTerminal();
// Whether --keys named a key script (it may have ended since).
bool keyScriptGiven();

// The next event within timeoutMs (0: just look, -1: no limit).
bool nextEvent(Event& event, int timeoutMs);

// Tells the key script that the program now blocks for a key with an empty
// queue: the moment a user who listened to everything presses the next one.
void setAwaitingKey(bool awaiting);

// Milliseconds on the program's clock, and a sleep on it.
uint64_t nowMs();
void sleepMs(int ms);

// Prints a fatal message on standard error and ends the program with status,
// running the exit steps registered with std::atexit.
[[noreturn]] void fail(int status, const std::string& message);

}  // namespace platform
