// Files named on the command line for the program to write (transcript,
// screen dump). "-" is standard output. A descriptor the program already holds
// (/dev/stdout, /dev/stderr, /dev/fd/N) is written through that descriptor, and
// a device or FIFO is never truncated: a log that the caller's shell sends to a
// file must not be cut back to its start.
#pragma once
#include <cstdio>
#include <string>

namespace platform {

// Null, with errno set, when the file cannot be opened for writing (a folder
// that does not exist is never created).
FILE* openOutputFile(const std::string& path);

// A write to one of them failed: said once on the error output ("cannot
// write " and `what`), and the program's exit status becomes 2, for a run
// whose record is incomplete did not end well. Any thread.
void outputFailed(const std::string& what);

// From the start on: at the normal exit, after what the other exit handlers
// write, a failed output makes the status 2.
void failExitOnLostOutput();

}  // namespace platform
