#include "platform/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/base/printable.h"
#include "platform/platform.h"

namespace platform {
namespace {

std::atomic<bool> g_failed{false};

// The descriptor a path names when it is one of the program's own, else -1.
int heldDescriptor(std::string_view path) {
  if (path == "-" || path == "/dev/stdout") return 1;
  if (path == "/dev/stderr") return 2;
  for (std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    if (!path.starts_with(prefix)) continue;
    path.remove_prefix(prefix.size());
    int fd = -1;
    const auto [end, error] = std::from_chars(path.data(), path.data() + path.size(), fd);
    if (error == std::errc() && end == path.data() + path.size()) return fd;
  }
  return -1;
}

}  // namespace

FILE* openOutputFile(const std::string& path) {
  if (const int held = heldDescriptor(path); held >= 0) {
    if (held == 1) return stdout;
    if (held == 2) return stderr;
    const int fd = ::dup(held);
    return fd < 0 ? nullptr : ::fdopen(fd, "w");
  }
  struct stat st {};
  const bool special = ::stat(path.c_str(), &st) == 0 && (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode));
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (special ? 0 : O_TRUNC), 0666);
  if (fd < 0) return nullptr;
  FILE* file = ::fdopen(fd, "w");
  if (!file) ::close(fd);
  return file;
}

void outputFailed(const std::string& what) {
  const char* why = std::strerror(errno);
  if (g_failed.exchange(true)) return;
  printError(programName(), "cannot write " + what + ": " + why);
}

void failExitOnLostOutput() {
  std::atexit([] {
    if (!g_failed) return;
    std::fflush(nullptr);
    std::_Exit(2);
  });
}

}  // namespace platform
