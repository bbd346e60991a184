#include "platform/sdl/x_display_lost.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>

namespace platform {
namespace {

std::atomic<bool> g_lost{false};

// Xlib ends the process should this return. A second break met while ending
// (another connection of the process) ends it at once: exit cannot be
// entered twice.
int onLost(Display*) {
  if (g_lost.exchange(true)) _exit(0);
  std::exit(0);
}

}  // namespace

void endWhenDisplayLost() {
  XSetIOErrorHandler(onLost);
  // A request written to a server that has just gone must come back as the
  // broken connection above, not end the program with SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
}

bool displayLost() { return g_lost; }

}  // namespace platform
