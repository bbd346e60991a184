#include "platform/base/paths.h"

#include <dirent.h>
#include <signal.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/base/codepage.h"

namespace platform {
namespace {

bool exists(const std::string& p) {
  struct stat st;
  return ::lstat(p.c_str(), &st) == 0;
}

// Case folding for name matching: ASCII and the Latin-1 letters.
std::u32string fold(std::string_view utf8) {
  std::u32string out;
  for (size_t pos = 0; pos < utf8.size();) {
    char32_t c = decodeUtf8(utf8, pos);
    if (c >= 'a' && c <= 'z') c -= 32;
    else if (c >= 0xE0 && c <= 0xFE && c != 0xF7) c -= 32;
    out += c;
  }
  return out;
}

// The entry of `dir` whose name equals `name` without regard to case.
bool findFolded(const std::string& dir, const std::string& name, std::string& found) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return false;
  const std::u32string want = fold(name);
  bool ok = false;
  while (dirent* e = ::readdir(d)) {
    if (fold(e->d_name) == want) {
      found = e->d_name;
      ok = true;
      break;
    }
  }
  ::closedir(d);
  return ok;
}

}  // namespace

std::string programFile() {
  std::vector<char> buf(4096);
  const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  return n > 0 ? std::string(buf.data(), static_cast<size_t>(n)) : std::string();
}

bool isDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string programDir() {
  const std::string exe = programFile();
  const size_t slash = exe.rfind('/');
  return slash == std::string::npos ? std::string(".") : exe.substr(0, slash ? slash : 1);
}

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// The components of a path, split on either separator.
std::vector<std::string> components(std::string_view path) {
  std::vector<std::string> parts;
  std::string cur;
  for (const char c : path) {
    if (isSeparator(c)) {
      if (!cur.empty()) parts.push_back(std::move(cur));
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(std::move(cur));
  return parts;
}

// How many folders the current directory lies below the data root, or -1
// when it lies elsewhere.
int depthBelowRoot() {
  char* root = ::realpath(dataRoot().c_str(), nullptr);
  char* cwd = ::getcwd(nullptr, 0);
  int depth = -1;
  if (root && cwd) {
    const std::string_view r = std::strcmp(root, "/") == 0 ? std::string_view() : std::string_view(root);
    const std::string_view c = cwd;
    if (c == r) {
      depth = 0;
    } else if (c.size() > r.size() && c.substr(0, r.size()) == r && c[r.size()] == '/') {
      depth = static_cast<int>(components(c.substr(r.size())).size());
    }
  }
  std::free(root);
  std::free(cwd);
  return depth;
}

// "." and ".." taken out as Windows does, by the text alone: ".." climbs out
// of the folder before it, and above the start at most `climbLimit` times
// (-1: without limit); a climb past the limit stays where it is.
std::vector<std::string> normalise(const std::vector<std::string>& parts, int climbLimit) {
  std::vector<std::string> out;
  int climbs = 0;
  for (const std::string& part : parts) {
    if (part == ".") continue;
    if (part != "..") {
      out.push_back(part);
    } else if (!out.empty() && out.back() != "..") {
      out.pop_back();
    } else if (climbLimit < 0 || climbs < climbLimit) {
      out.push_back(part);
      ++climbs;
    }
  }
  return out;
}

}  // namespace

std::string hostPath(std::string_view path) {
  // A NUL ends a name, as it does for Windows; kept, it would cut the mapped
  // name short where the kernel reads it, after the checks below.
  const std::string utf8 = cp1252ToUtf8(path.substr(0, path.find('\0')));
  std::string_view rest = utf8;
  const bool drive = rest.size() >= 2 && rest[1] == ':' &&
                     ((rest[0] >= 'a' && rest[0] <= 'z') || (rest[0] >= 'A' && rest[0] <= 'Z'));
  if (drive) rest.remove_prefix(2);
  const bool rooted = !rest.empty() && isSeparator(rest[0]);
  const bool linuxPath = !drive && rooted && rest[0] == '/' && !(rest.size() > 1 && rest[1] == '\\');
  const bool trailing = !rest.empty() && isSeparator(rest.back());
  std::vector<std::string> parts = components(rest);
  std::string out;  // where the components are resolved from; "" is the current directory
  if (linuxPath) {
    out = "/";  // named on purpose, as Linux names it
  } else if (rooted) {
    // A drive's root, the current drive's or a share's: the data root,
    // which ".." never leaves, as it never leaves a drive's root on Windows.
    out = dataRoot();
    parts = normalise(parts, 0);
  } else if (drive) {
    // The drive's current directory: ours when it lies below the data root.
    const int depth = depthBelowRoot();
    if (depth < 0) out = dataRoot();
    parts = normalise(parts, depth < 0 ? 0 : depth);
  } else if (std::find(parts.begin(), parts.end(), "..") != parts.end()) {
    parts = normalise(parts, depthBelowRoot());
  }
  if (parts.empty() && out.empty() && !utf8.empty()) out = ".";
  bool resolving = true;
  for (const std::string& part : parts) {
    const std::string dir = out;
    if (!out.empty() && out.back() != '/') out += '/';
    if (resolving && part != "." && part != ".." && !exists(out + part)) {
      std::string found;
      if (findFolded(dir, part, found)) {
        out += found;
        continue;
      }
      resolving = false;  // nothing below a missing component can exist
    }
    out += part;
  }
  if (trailing && !out.empty() && out.back() != '/') out += '/';
  return out;
}

bool readableFile(const std::string& hostFile) {
  struct stat st;
  return ::stat(hostFile.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(hostFile.c_str(), R_OK) == 0;
}

bool makeDirectories(const std::string& hostDir) {
  if (hostDir.empty() || isDirectory(hostDir)) return true;
  const size_t slash = hostDir.find_last_of('/', hostDir.size() > 1 ? hostDir.size() - 2 : 0);
  if (slash != std::string::npos && slash > 0 && !makeDirectories(hostDir.substr(0, slash))) return false;
  return ::mkdir(hostDir.c_str(), 0777) == 0 || errno == EEXIST;
}

namespace {

// A replacement is written under a name that tells its file and its writer,
// ".NAME.escuta-PID-XXXXXX", so that a writer killed before its rename leaves
// something the next writer of that file can recognise and clear.
std::string replacementPrefix(const std::string& hostFile, size_t slash) {
  return "." + hostFile.substr(slash == std::string::npos ? 0 : slash + 1) + ".escuta-";
}

void removeDeadWritersFiles(const std::string& dir, const std::string& prefix) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  while (const dirent* e = ::readdir(d)) {
    const std::string_view name = e->d_name;
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) continue;
    const long pid = std::strtol(e->d_name + prefix.size(), nullptr, 10);
    if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
      ::unlink((dir + "/" + std::string(name)).c_str());
  }
  ::closedir(d);
}

}  // namespace

bool replaceFileAtomically(const std::string& hostFile, std::string_view contents) {
  const size_t slash = hostFile.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : hostFile.substr(0, slash ? slash : 1);
  const std::string prefix = replacementPrefix(hostFile, slash);
  removeDeadWritersFiles(dir, prefix);
  std::string tmp = dir + "/" + prefix + std::to_string(::getpid()) + "-XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) return false;
  struct stat st;
  ::fchmod(fd, ::stat(hostFile.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);
  size_t done = 0;
  while (done < contents.size()) {
    const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  const bool written = done == contents.size() && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !written || ::rename(tmp.c_str(), hostFile.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  return true;
}

bool readWholeFile(const std::string& hostFile, std::string& contents, size_t limit) {
  const int fd = ::open(hostFile.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  contents.clear();
  char buf[65536];
  bool ok = true;
  while (ok) {
    const size_t room = limit - std::min(limit, contents.size());
    const ssize_t n = ::read(fd, buf, std::min(sizeof buf, room == SIZE_MAX ? room : room + 1));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    contents.append(buf, static_cast<size_t>(n));
    ok = contents.size() <= limit;
  }
  ::close(fd);
  return ok;
}

}  // namespace platform
