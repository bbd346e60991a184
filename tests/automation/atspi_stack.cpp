#include "atspi_stack.h"

#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "x_desktop.h"

namespace testsupport {
namespace {

// A line a child writes on a pipe, within timeoutMs.
std::string readLine(int fd, int timeoutMs) {
  std::string line;
  pollfd p{fd, POLLIN, 0};
  char c;
  while (poll(&p, 1, timeoutMs) > 0 && ::read(fd, &c, 1) == 1 && c != '\n') line += c;
  return line;
}

}  // namespace

AtspiStack::AtspiStack(const XDesktop& desktop) {
  int fds[2];
  if (pipe(fds) != 0) return;
  bus_ = spawn({"dbus-daemon", "--session", "--nofork", "--address=unix:path=" + (dir_ / "bus"),
                "--print-address=" + std::to_string(fds[1])},
               dir_ / "bus.err", fds[1], true);
  ::close(fds[1]);
  const std::string address = readLine(fds[0], 10000);
  ::close(fds[0]);
  if (address.empty()) return;
  setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
  unsetenv("AT_SPI_BUS_ADDRESS");
  launcher_ = spawn({"/usr/libexec/at-spi-bus-launcher", "--launch-immediately"}, dir_ / "launcher.err", -1, true);
  target_ = spawn({SYSTEM_PYTHON, ATSPI_TARGET}, dir_ / "target.err", -1, true);
  window_ = desktop.waitForWindow("Alvo AT-SPI");
}

AtspiStack::~AtspiStack() {
  stop(target_, true);
  stop(launcher_, true);
  stop(bus_, true);
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

}  // namespace testsupport
