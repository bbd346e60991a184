#include "support/brltty.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>

namespace testsupport {
namespace {

long long nowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

// BrlAPI's local sockets are named by host number in one system folder.
constexpr char kSocketDir[] = "/var/lib/BrlAPI/";

// "Braille "1|12| | "" -> "1|12", the trailing blank cells left out.
std::string cellsOf(const std::string& line) {
  const size_t open = line.find('"'), close = line.rfind('"');
  std::string cells = open < close ? line.substr(open + 1, close - open - 1) : "";
  while (!cells.empty() && (cells.back() == ' ' || cells.back() == '|')) cells.pop_back();
  return cells;
}

}  // namespace

PrivateBrltty::PrivateBrltty(int cells) {
  const int number = 20000 + static_cast<int>(getpid() % 20000);
  host_ = ":" + std::to_string(number);
  keyFile_ = dir_ / "brlapi.key";
  std::ofstream(keyFile_) << "escuta-test-" << getpid() << "-" << nowMs() << "\n";
  const std::string socket = dir_ / "vr.sock";
  pid_ = fork();
  if (pid_ == 0) {
    const int log = ::open((dir_ / "brltty.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (log >= 0) {
      dup2(log, 1);
      dup2(log, 2);
    }
    const std::string device = "server:" + socket, api = "auth=keyfile:" + keyFile_ + ",host=" + host_;
    const std::string pidFile = dir_ / "brltty.pid";
    // No screen, no speech, no settings or preferences files of the system;
    // BRLTTY's own start message is kept short.
    execlp("brltty", "brltty", "-n", "-e", "-q", "-b", "vr", "-d", device.c_str(), "-x", "no", "-s", "no", "-A",
           api.c_str(), "-f", "/dev/null", "-F", "/dev/null", "-W", dir_.path().c_str(), "-U", dir_.path().c_str(),
           "-P", pidFile.c_str(), "-M", "50", static_cast<char*>(nullptr));
    _exit(127);
  }
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", socket.c_str());
  for (long long until = nowMs() + 10000; pid_ > 0 && nowMs() < until;) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
      display_ = fd;
      break;
    }
    ::close(fd);
    usleep(20000);
  }
  if (display_ >= 0) press("cells " + std::to_string(cells));
  // BrlAPI serves from a thread of its own, once its socket is there.
  const std::string api = kSocketDir + host_.substr(1);
  for (long long until = nowMs() + 10000; display_ >= 0 && access(api.c_str(), F_OK) != 0;) {
    if (nowMs() > until) {
      ::close(display_);
      display_ = -1;
    }
    usleep(20000);
  }
}

PrivateBrltty::~PrivateBrltty() {
  if (display_ >= 0) ::close(display_);
  if (pid_ <= 0) return;
  // BRLTTY may not hear SIGTERM while it waits on its driver.
  kill(pid_, SIGTERM);
  int status;
  bool gone = false;
  for (int i = 0; i < 100 && !gone; ++i) {
    gone = waitpid(pid_, &status, WNOHANG) == pid_;
    if (!gone) usleep(20000);
  }
  if (!gone) {
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
  }
  const std::string number = host_.substr(1);
  ::unlink((kSocketDir + number).c_str());
  ::unlink((kSocketDir + ("." + number)).c_str());
}

std::string PrivateBrltty::environment() const { return "BRLAPI_HOST=" + host_ + " BRLAPI_AUTH=" + keyFile_; }

void PrivateBrltty::press(const std::string& command) {
  const std::string line = command + "\n";
  if (display_ < 0) return;
  [[maybe_unused]] ssize_t n = ::write(display_, line.data(), line.size());
}

bool PrivateBrltty::readLine(std::string& line, int timeoutMs) {
  for (long long until = nowMs() + timeoutMs;;) {
    const size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return true;
    }
    const long long left = until - nowMs();
    pollfd p{display_, POLLIN, 0};
    if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) return false;
    char buf[4096];
    const ssize_t n = ::read(display_, buf, sizeof buf);
    if (n <= 0) return false;
    pending_.append(buf, static_cast<size_t>(n));
  }
}

bool PrivateBrltty::waitFor(const std::string& dots, int timeoutMs) {
  return waitUntil(dots, true, timeoutMs);
}

bool PrivateBrltty::waitForOther(const std::string& dots, int timeoutMs) {
  return waitUntil(dots, false, timeoutMs);
}

bool PrivateBrltty::waitUntil(const std::string& dots, bool same, int timeoutMs) {
  if ((shown_ == dots) == same) return true;
  for (long long until = nowMs() + timeoutMs;;) {
    std::string line;
    const long long left = until - nowMs();
    if (left <= 0 || !readLine(line, static_cast<int>(left))) return false;
    if (line.rfind("Braille ", 0) != 0) continue;
    shown_ = cellsOf(line);
    if ((shown_ == dots) == same) return true;
  }
}

}  // namespace testsupport
