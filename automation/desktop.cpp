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

}  // namespace automation
