// Where the data lies: the build tree's root, or, installed, the shared data
// read only and the user's own copy that scripts write into.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/base/paths.h"
#include "platform/base/printable.h"

#ifndef ESCUTA_DEFAULT_ROOT
#define ESCUTA_DEFAULT_ROOT "/usr/share/escuta"
#endif

namespace platform {
namespace {

const char* rootOverride() {
  const char* env = std::getenv("ESCUTA_ROOT");
  return env && *env ? env : nullptr;
}

// share/escuta beside an installed program's bin/, or "" when not installed.
const std::string& installedShare() {
  static const std::string dir = [] {
    const std::string share = programDir() + "/../share/escuta";
    return isDirectory(share) ? share : std::string();
  }();
  return dir;
}

// $XDG_DATA_HOME/escuta; a relative XDG_DATA_HOME is ignored, as the XDG
// rules say.
std::string userDataRoot() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') return std::string(xdg) + "/escuta";
  const char* home = std::getenv("HOME");
  if (!(home && *home)) {
    const passwd* pw = ::getpwuid(::getuid());
    home = pw && pw->pw_dir ? pw->pw_dir : "/";
  }
  return std::string(home) + "/.local/share/escuta";
}

// False, with the file and the system's reason in `error`.
bool failed(const std::string& what, std::string& error) {
  error = what + ": " + std::strerror(errno);
  return false;
}

// Writes all that `in` holds to `out`.
bool copyContents(int in, int out) {
  char buf[65536];
  for (ssize_t n; (n = ::read(in, buf, sizeof buf)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(out, buf + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return false;
      done += w;
    }
  }
  return true;
}

// Copies one file into an unnamed file of its folder, linked into place once
// whole: a copy cut short leaves nothing behind, and the link fails rather
// than replace a file another process made meanwhile. Where the file system
// has no unnamed files, a named one stands in and is removed after the link.
bool copyFile(const std::string& from, const std::string& to, mode_t mode, std::string& error) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return failed(from, error);
  std::string named;
  int out = ::open(to.substr(0, to.rfind('/')).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (out < 0) {
    named = to + ".escuta-seed-XXXXXX";
    out = ::mkstemp(named.data());
  }
  if (out < 0) {
    failed(to, error);
    ::close(in);
    return false;
  }
  ::fchmod(out, (mode & 0777) | S_IWUSR);
  bool ok = copyContents(in, out) || failed(to, error);
  const std::string source = named.empty() ? "/proc/self/fd/" + std::to_string(out) : named;
  if (ok && ::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) != 0 && errno != EEXIST)
    ok = failed(to, error);
  ::close(in);
  ::close(out);
  if (!named.empty()) ::unlink(named.c_str());
  return ok;
}

}  // namespace

bool seedMissing(const std::string& from, const std::string& to, std::string& error) {
  if (!makeDirectories(to)) return failed(to, error);
  DIR* d = ::opendir(from.c_str());
  if (!d) return failed(from, error);
  bool ok = true;
  while (const dirent* e = ::readdir(d)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    const std::string src = from + "/" + e->d_name;
    const std::string dst = to + "/" + e->d_name;
    struct stat st, there;
    if (::stat(src.c_str(), &st) != 0) continue;
    const bool present = ::lstat(dst.c_str(), &there) == 0;
    if (S_ISDIR(st.st_mode)) {
      // A user's file where a folder was shipped stays the user's.
      if (!present || S_ISDIR(there.st_mode)) ok = seedMissing(src, dst, error) && ok;
    } else if (S_ISREG(st.st_mode) && !present) {
      ok = copyFile(src, dst, st.st_mode, error) && ok;
    }
  }
  ::closedir(d);
  return ok;
}

std::string sharedDataRoot() {
  if (const char* root = rootOverride()) return root;
  return installedShare().empty() ? ESCUTA_DEFAULT_ROOT : installedShare();
}

std::string dataRoot() {
  if (const char* root = rootOverride()) return root;
  if (installedShare().empty()) return ESCUTA_DEFAULT_ROOT;
  // Seeded once a process: a new file of an upgrade arrives, a changed one
  // is the user's.
  static const std::string root = [] {
    const std::string dir = userDataRoot();
    std::string error;
    if (!seedMissing(installedShare(), dir, error)) {
      const std::string exe = programFile();
      printError(exe.substr(exe.rfind('/') + 1), "cannot copy the shared data into " + dir + ": " + error);
    }
    return dir;
  }();
  return root;
}

}  // namespace platform
