#include "platform/process.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "platform/base/codepage.h"
#include "platform/base/config_dir.h"
#include "platform/base/paths.h"
#include "platform/options.h"
#include "platform/platform.h"
#include "platform/transcript.h"

extern char** environ;

namespace platform {
namespace {

// A folder may be searched, not run.
bool executable(const std::string& path) {
  struct stat st;
  return ::access(path.c_str(), X_OK) == 0 && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string onSearchPath(const std::string& name) {
  if (executable(programDir() + "/" + name)) return programDir() + "/" + name;
  const char* path = std::getenv("PATH");
  const std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  for (size_t from = 0; from <= dirs.size();) {
    size_t to = dirs.find(':', from);
    if (to == std::string::npos) to = dirs.size();
    const std::string dir = to > from ? dirs.substr(from, to - from) : ".";
    if (executable(dir + "/" + name)) return dir + "/" + name;
    from = to + 1;
  }
  return "";
}

std::string findAsGiven(const std::string& program) {
  if (program.find('/') != std::string::npos) return executable(program) ? program : "";
  return onSearchPath(program);
}

bool endsWithExe(std::string_view name) {
  if (name.size() < 4) return false;
  return strncasecmp(name.data() + name.size() - 4, ".exe", 4) == 0;
}

bool ownedByThisRun(const char* entry) {
  for (const char* name : {"ESCUTA_KEYS=", "ESCUTA_TRANSCRIPT=", "ESCUTA_AUDIO_OUT=", "ESCUTA_SCREEN_OUT="}) {
    if (std::strncmp(entry, name, std::strlen(name)) == 0) return true;
  }
  return false;
}

// The programs started here that have not been seen to end. Each ended one
// is reaped at the next process operation, so none stays a zombie for long.
std::vector<pid_t> g_children;

void reapChildren() {
  std::erase_if(g_children, [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; });
}

// Where a started program stands to the terminal: as this one, in a process
// group of its own that the terminal's foreground is given to, or in a
// session of its own with no terminal at all (its output and error on
// /dev/null, and our programs in it running headless).
enum class Terminal { Shared, InFront, None };

// Starts the program as our child, with `input`, `output` and `error` (-1:
// /dev/null, ours, ours) as its standard files and every other descriptor
// closed, SIGPIPE back to its default and no signal blocked. The start has
// succeeded when the program file has been executed; `pid` then names it. A
// program the script runs is recorded in the transcript; our own helpers
// are not.
bool spawnChild(const std::string& file, const std::vector<std::string>& args, int input, int output, int error,
                bool recorded = true, Terminal terminal = Terminal::Shared, pid_t* child = nullptr) {
  reapChildren();
  std::vector<char*> argv{const_cast<char*>(file.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> env;
  static char headless[] = "ESCUTA_FRONTEND=headless";
  for (char** e = environ; *e; ++e) {
    if (ownedByThisRun(*e)) continue;
    if (terminal == Terminal::None && std::strncmp(*e, "ESCUTA_FRONTEND=", 16) == 0) continue;
    env.push_back(*e);
  }
  if (terminal == Terminal::None) env.push_back(headless);
  env.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (input >= 0) posix_spawn_file_actions_adddup2(&actions, input, 0);
  else posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (output >= 0) posix_spawn_file_actions_adddup2(&actions, output, 1);
  if (error >= 0) posix_spawn_file_actions_adddup2(&actions, error, 2);
  if (terminal == Terminal::None) {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  }
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attr, &none);
  short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
  if (terminal == Terminal::InFront) flags |= POSIX_SPAWN_SETPGROUP;  // group 0: a group of its own
  if (terminal == Terminal::None) flags |= POSIX_SPAWN_SETSID;
  posix_spawnattr_setflags(&attr, flags);
  pid_t pid;
  const int started = posix_spawn(&pid, file.c_str(), &actions, &attr, argv.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (started != 0) return false;
  g_children.push_back(pid);
  if (child) *child = pid;
  if (!recorded) return true;
  std::string shown = file;
  for (const std::string& a : args) shown += " " + a;
  transcriptEvent("RUN", utf8ToCp1252(shown));
  return true;
}

// Our ends of the piped child's pipes: its input, its output, its error.
struct PipedChild {
  int input = -1, output = -1, error = -1;
};
PipedChild g_piped;

void closePiped() {
  for (int* fd : {&g_piped.input, &g_piped.output, &g_piped.error}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
}

void readAvailable(int fd, size_t limit, std::string& out) {
  out.clear();
  if (fd < 0) return;
  char block[4096];
  while (out.size() < limit) {
    const ssize_t n = ::read(fd, block, std::min(sizeof block, limit - out.size()));
    if (n > 0) out.append(block, static_cast<size_t>(n));
    else if (n < 0 && errno == EINTR) continue;
    else break;  // empty for now, or ended
  }
}

// The names a process goes by: its program file's path and the name it was
// started with (a script run by an interpreter is known by the latter).
std::vector<std::string> processNames(const std::string& procDir) {
  std::vector<std::string> names;
  char link[4096];
  const ssize_t n = ::readlink((procDir + "/exe").c_str(), link, sizeof link - 1);
  if (n > 0) {
    std::string exe(link, static_cast<size_t>(n));
    if (exe.ends_with(" (deleted)")) exe.resize(exe.size() - 10);
    names.push_back(exe);
  }
  std::string cmdline;
  if (readWholeFile(procDir + "/cmdline", cmdline) && !cmdline.empty()) {
    names.push_back(cmdline.substr(0, cmdline.find('\0')));
  }
  return names;
}

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool nameMatches(std::string_view wanted, std::string_view path) {
  const size_t slash = path.rfind('/');
  const std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
  for (std::string_view candidate : {file, path}) {
    if (candidate.empty()) continue;
    if (sameName(wanted, candidate)) return true;
    if (endsWithExe(wanted) && sameName(wanted.substr(0, wanted.size() - 4), candidate)) return true;
  }
  return false;
}

// A relative directory taken from `cwd`.
std::string absoluteDir(const std::string& dir, const std::string& cwd) {
  if (dir.empty() || dir[0] == '/') return dir;
  std::error_code error;
  const std::filesystem::path base = std::filesystem::absolute(cwd, error);
  return error ? dir : (base / dir).string();
}

bool sameDir(const std::string& a, const std::string& b) {
  return std::filesystem::path(a).lexically_normal() == std::filesystem::path(b).lexically_normal();
}

// The NUL-separated entries of a /proc file (cmdline, environ).
std::vector<std::string> entries(const std::string& block) {
  std::vector<std::string> out;
  for (size_t from = 0; from < block.size();) {
    size_t to = block.find('\0', from);
    if (to == std::string::npos) to = block.size();
    out.push_back(block.substr(from, to - from));
    from = to + 1;
  }
  return out;
}

// The configuration directory a process runs with (see processesNamed);
// empty when its environment cannot be read.
std::string configDirOfProcess(const std::string& procDir) {
  // A program being started shows its new file a moment before its command
  // line and environment, which are empty until then.
  constexpr int kSettleTries = 50;
  std::string environment, cmdline;
  for (int tries = 0;; ++tries) {
    if (!readWholeFile(procDir + "/environ", environment)) return "";
    readWholeFile(procDir + "/cmdline", cmdline);
    if ((!environment.empty() && !cmdline.empty()) || tries == kSettleTries) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::string dir = configDirOption(entries(cmdline));
  if (dir.empty()) {
    const std::vector<std::string> variables = entries(environment);
    std::string_view config, xdg, home;
    for (std::string_view entry : variables) {
      for (auto [prefix, value] : {std::pair{"ESCUTA_CONFIG_DIR=", &config}, std::pair{"XDG_CONFIG_HOME=", &xdg},
                                   std::pair{"HOME=", &home}}) {
        if (entry.starts_with(prefix)) *value = entry.substr(std::strlen(prefix));
      }
    }
    dir = configDirNamed(config, xdg, home);
  }
  char cwd[4096];
  const ssize_t n = ::readlink((procDir + "/cwd").c_str(), cwd, sizeof cwd - 1);
  return n > 0 ? absoluteDir(dir, std::string(cwd, static_cast<size_t>(n))) : dir;
}

}  // namespace

std::string findProgramFile(const std::string& program) {
  if (program.empty()) return "";
  std::string found = findAsGiven(program);
  if (found.empty() && endsWithExe(program)) found = findAsGiven(program.substr(0, program.size() - 4));
  return found;
}

bool startDetached(const std::string& file, const std::vector<std::string>& args, Start how) {
  if (inTerminal()) {
    // The console holds the terminal: only a program the user turns to may have it, and only while it runs.
    if (how != Start::InFront) return spawnChild(file, args, -1, -1, -1, true, Terminal::None);
    return backend().lendTerminal([&] {
      pid_t pid = -1;
      return spawnChild(file, args, 0, -1, -1, true, Terminal::InFront, &pid) ? static_cast<int>(pid) : -1;
    });
  }
  if (how != Start::Hidden) return spawnChild(file, args, -1, -1, -1);
  const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (nowhere < 0) return false;
  const bool started = spawnChild(file, args, -1, nowhere, nowhere);
  ::close(nowhere);
  return started;
}

bool openWithDesktop(const std::string& target, Start how) {
  const std::string opener = findProgramFile("xdg-open");
  // The desktop would take a bare "www." name for a file: it gets the web's scheme.
  const bool bareWeb = target.size() > 4 && ::strncasecmp(target.c_str(), "www.", 4) == 0;
  return !opener.empty() && startDetached(opener, {bareWeb ? "http://" + target : target}, how);
}

bool startHelper(const std::string& file, std::string_view input, int timeoutMs) {
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0) return false;
  if (::pipe2(out, O_CLOEXEC) != 0) {
    ::close(in[0]), ::close(in[1]);
    return false;
  }
  ::signal(SIGPIPE, SIG_IGN);
  const bool started = spawnChild(file, {}, in[0], out[1], -1, false);
  ::close(in[0]), ::close(out[1]);
  // The helper reads all its input before anything else, so these writes
  // end; one that has gone makes them fail instead.
  for (size_t at = 0; started && at < input.size();) {
    const ssize_t n = ::write(in[1], input.data() + at, input.size() - at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    at += static_cast<size_t>(n);
  }
  ::close(in[1]);
  bool ready = false;
  pollfd p{out[0], POLLIN, 0};
  char c;
  while (started && !ready) {
    const int got = ::poll(&p, 1, timeoutMs);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    const ssize_t n = ::read(out[0], &c, 1);
    if (n < 0 && errno == EINTR) continue;
    ready = n == 0;
    if (n < 0) break;
  }
  ::close(out[0]);
  return ready;
}

bool startPiped(const std::string& file, const std::vector<std::string>& args) {
  int in[2], out[2], err[2];
  if (::pipe2(in, O_CLOEXEC) != 0) return false;
  if (::pipe2(out, O_CLOEXEC) != 0) {
    ::close(in[0]), ::close(in[1]);
    return false;
  }
  if (::pipe2(err, O_CLOEXEC) != 0) {
    ::close(in[0]), ::close(in[1]), ::close(out[0]), ::close(out[1]);
    return false;
  }
  // A child that has gone must make a write fail, not end this program.
  ::signal(SIGPIPE, SIG_IGN);
  const bool started = spawnChild(file, args, in[0], out[1], err[1]);
  ::close(in[0]), ::close(out[1]), ::close(err[1]);
  if (!started) {
    ::close(in[1]), ::close(out[0]), ::close(err[0]);
    return false;
  }
  closePiped();
  g_piped = {in[1], out[0], err[0]};
  for (int fd : {in[1], out[0], err[0]}) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  return true;
}

bool pipedChildStarted() { return g_piped.input >= 0; }

bool writePiped(std::string_view bytes) {
  reapChildren();
  if (g_piped.input < 0) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(g_piped.input, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

void readPiped(size_t limit, std::string& output, std::string& error) {
  reapChildren();
  readAvailable(g_piped.output, limit, output);
  readAvailable(g_piped.error, limit, error);
}

bool startFilter(const std::string& file, const std::vector<std::string>& args, Filter& filter) {
  endFilter(filter);
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0) return false;
  if (::pipe2(out, O_CLOEXEC) != 0) {
    ::close(in[0]), ::close(in[1]);
    return false;
  }
  const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  ::signal(SIGPIPE, SIG_IGN);  // a helper that has gone must fail a write, not end us
  const bool started = spawnChild(file, args, in[0], out[1], quiet, false);
  ::close(in[0]), ::close(out[1]);
  if (quiet >= 0) ::close(quiet);
  if (!started) {
    ::close(in[1]), ::close(out[0]);
    return false;
  }
  filter = {g_children.back(), in[1], out[0]};
  for (int fd : {in[1], out[0]}) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  return true;
}

void endFilter(Filter& filter) {
  for (int* fd : {&filter.input, &filter.output}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
  if (filter.pid > 0) {
    ::kill(filter.pid, SIGTERM);
    ::waitpid(filter.pid, nullptr, 0);
    std::erase(g_children, filter.pid);
  }
  filter.pid = -1;
}

std::vector<pid_t> processesNamed(std::string_view name) {
  reapChildren();
  std::vector<pid_t> found;
  if (name.empty()) return found;
  DIR* proc = ::opendir("/proc");
  if (!proc) return found;
  const std::string ours = absoluteDir(configDirOfEnvironment(), ".");
  while (dirent* e = ::readdir(proc)) {
    if (e->d_name[0] < '1' || e->d_name[0] > '9') continue;
    const std::string procDir = std::string("/proc/") + e->d_name;
    const std::vector<std::string> names = processNames(procDir);
    if (std::none_of(names.begin(), names.end(), [&](const std::string& path) { return nameMatches(name, path); }))
      continue;
    struct stat owner;
    if (::stat(procDir.c_str(), &owner) != 0 || owner.st_uid != ::geteuid()) continue;
    const std::string theirs = configDirOfProcess(procDir);
    if (!theirs.empty() && sameDir(theirs, ours)) found.push_back(static_cast<pid_t>(std::atol(e->d_name)));
  }
  ::closedir(proc);
  return found;
}

bool processRunning(std::string_view name) { return !processesNamed(name).empty(); }

}  // namespace platform
