#include "automation/desktop.h"

#include "automation/desktops.h"
#include "platform/platform.h"

namespace automation {

Desktop* desktop() {
  static const std::unique_ptr<Desktop> chosen = platform::headless() ? makeHeadlessDesktop() : openX11Desktop();
  return chosen.get();
}

std::string activeWindowTitle() {
  if (Desktop* d = desktop()) return d->activeTitle();
  return platform::backend().activeWindowTitle();
}

// The desktop, not the window's own focus flag, says who is in front: the
// flag follows only once the console has served its window events.
std::string focusedConsoleTitle() {
  Desktop* d = desktop();
  if (!d) return platform::backend().activeWindowTitle();
  return d->activeWindowId() == platform::backend().windowHandle() ? d->activeTitle() : std::string();
}

}  // namespace automation
