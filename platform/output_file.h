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

}  // namespace platform
