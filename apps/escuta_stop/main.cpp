// escuta_stop NAME...: ends the running programs of each name that belong to
// this user and this configuration directory, as EXISTEPROG finds them, and
// waits for them to go. Exit status 0 when none is left, 1 when some still
// runs after the wait, 2 for a bad command line.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/process.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPatience = std::chrono::seconds(5);
constexpr auto kPoll = std::chrono::milliseconds(50);

// The matching processes of every name, but never this one.
std::vector<pid_t> matching(const std::vector<std::string_view>& names) {
  std::vector<pid_t> pids;
  for (std::string_view name : names) {
    for (pid_t pid : platform::processesNamed(name)) {
      if (pid != ::getpid()) pids.push_back(pid);
    }
  }
  return pids;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> names(argv + 1, argv + argc);
  bool usable = !names.empty();
  for (std::string_view name : names) usable = usable && !name.empty() && name[0] != '-';
  if (!usable) {
    std::fputs("usage: escuta_stop NAME...\n", stderr);
    return 2;
  }
  // Each is asked once: a program that ends on SIGTERM may be busy ending.
  // One that starts meanwhile is asked too.
  std::set<pid_t> asked;
  for (const auto until = Clock::now() + kPatience;; std::this_thread::sleep_for(kPoll)) {
    const std::vector<pid_t> left = matching(names);
    if (left.empty()) return 0;
    if (Clock::now() > until) return 1;
    for (pid_t pid : left) {
      if (asked.insert(pid).second) ::kill(pid, SIGTERM);
    }
  }
}
