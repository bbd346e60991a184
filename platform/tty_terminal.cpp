#include "platform/tty_terminal.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

// Everything the way back needs, ready for a signal handler: no allocation,
// only write, dup2, read and tcsetattr.
struct Saved {
  termios original{};
  termios raw{};
  char enter[2048] = {};
  size_t enterLength = 0;
  char leave[2048] = {};
  size_t leaveLength = 0;
  int terminalError = -1;  // the terminal as standard error, while it is kept aside
  int errorFile = -1;      // where standard error goes meanwhile
  int wakeFd = -1;
};

Saved g_saved;
volatile sig_atomic_t g_taken = 0;
volatile sig_atomic_t g_redraw = 0;

void writeAll(int fd, const char* p, size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return;
    p += w;
    n -= static_cast<size_t>(w);
  }
}

void leaveNow() {
  if (!g_taken) return;
  g_taken = 0;
  const int savedErrno = errno;
  writeAll(1, g_saved.leave, g_saved.leaveLength);
  ::tcsetattr(0, TCSADRAIN, &g_saved.original);
  if (g_saved.terminalError >= 0) {
    ::dup2(g_saved.terminalError, 2);
    // What was said meanwhile, now where it can be read.
    char buf[512];
    ssize_t n;
    ::lseek(g_saved.errorFile, 0, SEEK_SET);
    while ((n = ::read(g_saved.errorFile, buf, sizeof buf)) > 0) writeAll(2, buf, static_cast<size_t>(n));
    if (::ftruncate(g_saved.errorFile, 0) == 0) ::lseek(g_saved.errorFile, 0, SEEK_SET);
  }
  errno = savedErrno;
}

void enterNow() {
  if (g_taken) return;
  ::tcsetattr(0, TCSADRAIN, &g_saved.raw);
  writeAll(1, g_saved.enter, g_saved.enterLength);
  if (g_saved.terminalError >= 0) ::dup2(g_saved.errorFile, 2);
  g_taken = 1;
}

void wakeBackend() {
  g_redraw = 1;
  const int savedErrno = errno;
  if (g_saved.wakeFd >= 0) [[maybe_unused]] ssize_t n = ::write(g_saved.wakeFd, "r", 1);
  errno = savedErrno;
}

void handle(int signal, void (*handler)(int), int flags) {
  struct sigaction action{};
  action.sa_handler = handler;
  action.sa_flags = flags;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, nullptr);
}

// A crash: the terminal comes back, then the signal does what it does.
void onFatal(int signal) {
  leaveNow();
  ::raise(signal);
}

void onStop(int) {
  const bool wasTaken = g_taken;
  leaveNow();
  handle(SIGTSTP, SIG_DFL, 0);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  ::pthread_sigmask(SIG_UNBLOCK, &stop, nullptr);
  ::raise(SIGTSTP);
  // Resumed.
  handle(SIGTSTP, onStop, SA_RESTART);
  if (wasTaken) enterNow();
  wakeBackend();
}

void onWake(int) { wakeBackend(); }

void copyModes(const std::string& from, char* to, size_t room, size_t& length) {
  length = std::min(from.size(), room);
  std::memcpy(to, from.data(), length);
}

}  // namespace

bool takeTerminal(const TerminalModes& modes, int wakeFd) {
  if (g_taken) return true;
  static bool prepared = false;
  if (!prepared) {
    if (::tcgetattr(0, &g_saved.original) != 0) return false;
    termios raw = g_saved.original;
    raw.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
    raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    raw.c_cflag = (raw.c_cflag & ~static_cast<tcflag_t>(CSIZE | PARENB)) | CS8;
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    g_saved.raw = raw;
    copyModes(modes.enter, g_saved.enter, sizeof g_saved.enter, g_saved.enterLength);
    copyModes(modes.leave, g_saved.leave, sizeof g_saved.leave, g_saved.leaveLength);
    g_saved.wakeFd = wakeFd;
    if (::isatty(2)) {
      g_saved.errorFile = ::memfd_create("escuta-stderr", MFD_CLOEXEC);
      if (g_saved.errorFile >= 0) g_saved.terminalError = ::fcntl(2, F_DUPFD_CLOEXEC, 3);
    }
    std::atexit(giveTerminalBack);
    std::at_quick_exit(giveTerminalBack);
    // A handler of a sanitizer or a debugger already there is left alone.
    for (const int s : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
      struct sigaction old{};
      if (::sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) {
        handle(s, onFatal, SA_RESETHAND | SA_NODEFER);
      }
    }
    handle(SIGTSTP, onStop, SA_RESTART);
    handle(SIGWINCH, onWake, SA_RESTART);
    handle(SIGCONT, onWake, SA_RESTART);
    prepared = true;
  }
  enterNow();
  return true;
}

void giveTerminalBack() { leaveNow(); }

bool terminalTaken() { return g_taken; }

bool terminalRedrawWanted() {
  if (!g_redraw) return false;
  g_redraw = 0;
  return true;
}

void suspendTerminal() { ::raise(SIGTSTP); }

}  // namespace platform
