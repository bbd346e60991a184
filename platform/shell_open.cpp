#include "platform/shell_open.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/codepage.h"
#include "platform/transcript.h"

extern char** environ;

namespace platform {
namespace {

bool executable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

// The program's file: a path as it is, a bare name from PATH.
std::string findProgram(const std::string& program) {
  if (program.find('/') != std::string::npos) return executable(program) ? program : "";
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  for (size_t from = 0; from <= dirs.size();) {
    size_t to = dirs.find(':', from);
    if (to == std::string::npos) to = dirs.size();
    const std::string dir = to > from ? dirs.substr(from, to - from) : ".";
    if (executable(dir + "/" + program)) return dir + "/" + program;
    from = to + 1;
  }
  return "";
}

bool ownedByThisRun(const char* entry) {
  for (const char* name : {"ESCUTA_KEYS=", "ESCUTA_TRANSCRIPT=", "ESCUTA_AUDIO_OUT=", "ESCUTA_SCREEN_OUT="}) {
    if (std::strncmp(entry, name, std::strlen(name)) == 0) return true;
  }
  return false;
}

}  // namespace

bool startProgram(const std::string& program, const std::vector<std::string>& args) {
  std::string shown = program;
  for (const std::string& a : args) shown += " " + a;
  transcriptEvent("RUN", utf8ToCp1252(shown));
  const std::string file = findProgram(program);
  if (file.empty()) return false;
  // A shell that starts the program in the background and ends at once: the
  // program is not our child, so nothing waits for it and no zombie is left.
  // The arguments travel as the shell's own, never as command text.
  std::vector<char*> argv{const_cast<char*>("/bin/sh"), const_cast<char*>("-c"),
                          const_cast<char*>("\"$0\" \"$@\" </dev/null &"), const_cast<char*>(file.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> env;
  for (char** e = environ; *e; ++e) {
    if (!ownedByThisRun(*e)) env.push_back(*e);
  }
  env.push_back(nullptr);
  pid_t pid;
  if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv.data(), env.data()) != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool openDocument(const std::string& target) { return startProgram("xdg-open", {target}); }

}  // namespace platform
