#include "platform/exit_signals.h"

#include <pthread.h>
#include <signal.h>

#include <cstdlib>
#include <thread>

namespace platform {

void endOnSignals() {
  // Taken by a thread rather than a handler: what runs at the exit writes
  // files, which a handler may not.
  sigset_t ending;
  sigemptyset(&ending);
  for (const int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&ending, s);
  pthread_sigmask(SIG_BLOCK, &ending, nullptr);
  std::thread([ending] {
    int s = 0;
    while (sigwait(&ending, &s) != 0) {
    }
    std::quick_exit(128 + s);
  }).detach();
}

}  // namespace platform
