// Starting other programs the way the desktop's "open" does: a program by
// itself, or a document or address with the program the desktop chooses.
#pragma once
#include <string>
#include <vector>

namespace platform {

// Starts `program` (a path, or a name looked up on PATH) with the arguments,
// in the current directory, and does not wait for it. The files that belong
// to this run (key script, transcript, recording, screen dump) are not passed
// on. False when the program cannot be found or started.
bool startProgram(const std::string& program, const std::vector<std::string>& args);

// Opens a document or an address with the desktop's program for it
// (xdg-open).
bool openDocument(const std::string& target);

}  // namespace platform
