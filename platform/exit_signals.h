// SIGINT, SIGTERM and SIGHUP end the program as an exit path of its own:
// what is registered with std::at_quick_exit runs (the screen dump), then
// the status is 128 plus the signal's number, as a shell reports it.
#pragma once

namespace platform {

// Blocks the three signals in every thread started from now on and takes them
// in one thread of its own. Call before any other thread starts; programs
// started later get them unblocked again.
void endOnSignals();

}  // namespace platform
