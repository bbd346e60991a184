// Which running programs a program sees by name: only this user's, and only
// those that run with the same directory of Escuta.ini.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/process.h"
#include "standin.h"

namespace {

// This program's own environment, as a case sets it, put back afterwards.
class OwnEnvironment {
 public:
  OwnEnvironment() {
    for (const char* name : kNames) {
      const char* v = std::getenv(name);
      saved_.push_back(v ? std::optional<std::string>(v) : std::nullopt);
    }
  }
  ~OwnEnvironment() {
    for (size_t i = 0; i < std::size(kNames); ++i) set(kNames[i], saved_[i]);
  }
  // NAME=value entries; the other variables of the rule are unset.
  void use(const std::vector<std::string>& entries) {
    for (const char* name : kNames) ::unsetenv(name);
    for (const std::string& e : entries) {
      const size_t eq = e.find('=');
      ::setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
    }
  }

 private:
  static constexpr const char* kNames[] = {"ESCUTA_CONFIG_DIR", "XDG_CONFIG_HOME", "HOME"};
  static void set(const char* name, const std::optional<std::string>& v) {
    if (v) ::setenv(name, v->c_str(), 1);
    else ::unsetenv(name);
  }
  std::vector<std::optional<std::string>> saved_;
};

bool holds(const std::vector<pid_t>& pids, pid_t pid) { return std::find(pids.begin(), pids.end(), pid) != pids.end(); }

TEST(ProcessScope, SeesOnlyProgramsOfTheSameConfigurationDirectory) {
  struct Case {
    const char* what;
    std::vector<std::string> ours;    // our environment
    std::vector<std::string> theirs;  // the other program's
    std::vector<std::string> args;    // its command line after the program
    const char* cwd;                  // its working directory below the scratch folder
    bool seen;
  } cases[] = {
      {"same directory", {"ESCUTA_CONFIG_DIR=/s/a"}, {"ESCUTA_CONFIG_DIR=/s/a"}, {}, "", true},
      {"another directory", {"ESCUTA_CONFIG_DIR=/s/a"}, {"ESCUTA_CONFIG_DIR=/s/b"}, {}, "", false},
      {"neither names one: the same default", {"HOME=/s/h"}, {"HOME=/s/h"}, {}, "", true},
      {"the defaults of other homes", {"HOME=/s/h"}, {"HOME=/s/other"}, {}, "", false},
      {"one the other's default", {"ESCUTA_CONFIG_DIR=/s/x/Escuta/"}, {"XDG_CONFIG_HOME=/s/x"}, {}, "", true},
      {"named without its default", {"HOME=/s/h"}, {"HOME=/s/h", "ESCUTA_CONFIG_DIR=/s/a"}, {}, "", false},
      {"given on its command line",
       {"ESCUTA_CONFIG_DIR=/s/a"}, {"ESCUTA_CONFIG_DIR=/s/b"}, {"--frontend", "headless", "--config-dir", "/s/a"}, "",
       true},
      {"its command line over its environment",
       {"ESCUTA_CONFIG_DIR=/s/a"}, {"ESCUTA_CONFIG_DIR=/s/a"}, {"--config-dir=/s/b"}, "", false},
      {"a script's argument is not an option",
       {"ESCUTA_CONFIG_DIR=/s/a"}, {"ESCUTA_CONFIG_DIR=/s/b"}, {"s.txt", "--config-dir", "/s/a"}, "", false},
      {"relative to its working directory", {"ESCUTA_CONFIG_DIR=@/w/cfg"}, {"ESCUTA_CONFIG_DIR=cfg"}, {}, "w", true},
      {"relative elsewhere", {"ESCUTA_CONFIG_DIR=@/cfg"}, {"ESCUTA_CONFIG_DIR=cfg"}, {}, "w", false},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    standin::Programs programs;
    const std::string& scratch = programs.dir().path();
    std::filesystem::create_directories(scratch + "/w");
    // "@" stands for the scratch folder, where a relative directory lies.
    auto here = [&](std::vector<std::string> env) {
      for (std::string& e : env)
        if (const size_t at = e.find("=@"); at != std::string::npos) e.replace(at + 1, 1, scratch);
      return env;
    };
    const std::string name = "escuta_visto_" + std::to_string(::getpid()) + "_" + std::to_string(++n);
    const pid_t pid = programs.start({name, c.args, c.theirs, scratch + "/" + c.cwd});
    OwnEnvironment own;
    own.use(here(c.ours));
    EXPECT_EQ(holds(platform::processesNamed(name), pid), c.seen);
    EXPECT_EQ(platform::processRunning(name), c.seen);
    EXPECT_EQ(platform::processRunning(name + ".EXE"), c.seen);
    EXPECT_TRUE(programs.running(pid)) << "only looked at";
  }
}

// A program of another user is not seen by the name it was started with,
// even where its environment could be read.
TEST(ProcessScope, AnotherUsersProgramIsNeverSeen) {
  const uid_t me = ::geteuid();
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string pid = entry.path().filename();
    struct stat owner;
    if (pid.find_first_not_of("0123456789") != std::string::npos || ::stat(entry.path().c_str(), &owner) != 0 ||
        owner.st_uid == me)
      continue;
    const std::string cmdline = testsupport::slurp(entry.path() / "cmdline");
    const std::string name = cmdline.substr(0, cmdline.find('\0'));
    if (name.empty()) continue;  // a kernel thread, or gone
    EXPECT_FALSE(holds(platform::processesNamed(name), std::stoi(pid))) << name;
    return;
  }
  GTEST_SKIP() << "no program of another user runs here";
}

TEST(ProcessScope, ThisProgramSeesItself) {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").filename();
  EXPECT_TRUE(holds(platform::processesNamed(self), ::getpid()));
}

}  // namespace
