// Running a script through roteiro headless, for the network tests.
#pragma once
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "support/loopback.h"
#include "support/scratch.h"

namespace nettest {

inline std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
  return text;
}

// What a run left: the SHOW lines of its transcript (the error report's line
// number among them), whether it ended with the execution-error report, and
// every transcript line as it stands.
struct ScriptRun {
  std::string shown;
  bool failed = false;
  std::vector<std::string> transcript;
};

// The run's time limit on the headless clock: 30 real seconds, also when a
// test speeds the clock up through ESCUTA_CLOCK_SPEED.
inline std::string timeLimit() {
  const char* speed = std::getenv("ESCUTA_CLOCK_SPEED");
  return std::to_string(30 * std::max(1, speed ? std::atoi(speed) : 1));
}

// The command that runs roteiro on the script, keys and Escuta.ini in `dir`,
// writing its transcript there, from whatever directory it is started in.
// Numbers are written with a point whatever the machine's locale.
inline std::string roteiroCommand(const std::string& dir) {
  return "LC_ALL=C " ROTEIRO " --frontend headless --time-limit " + timeLimit() + " --config-dir " + dir + " --keys " +
         dir + "/k.txt --transcript " + dir + "/t.txt " + dir + "/s.txt 2>/dev/null";
}

// Runs the script in `dir`, where the files it writes stay. `command`, when
// given, is the shell's command that runs roteiroCommand(dir) and ends with
// its status: a test that needs roteiro somewhere else wraps it so.
inline ScriptRun runScriptIn(const std::string& dir, const std::string& script, const std::string& keys,
                             const std::string& ini = "", const std::string& command = "") {
  std::ofstream(dir + "/s.txt") << script;
  std::ofstream(dir + "/k.txt") << keys;
  if (!ini.empty()) std::ofstream(dir + "/Escuta.ini") << ini;
  const std::string cmd = command.empty() ? "cd " + dir + " && " + roteiroCommand(dir) : command;
  const int raw = std::system(cmd.c_str());
  ScriptRun r;
  std::ifstream t(dir + "/t.txt");
  for (std::string line; std::getline(t, line);) {
    if (line.starts_with("SHOW\t") && line != "SHOW\t\\r\\n") r.shown += line.substr(5) + "|";
    if (line.starts_with("ERROR\t")) r.failed = true;
    r.transcript.push_back(line);
  }
  EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == (r.failed ? 1 : 0)) << script;
  return r;
}

inline ScriptRun runScript(const std::string& script, const std::string& keys, const std::string& ini = "") {
  testsupport::ScratchDir dir;
  return runScriptIn(dir.path(), script, keys, ini);
}

}  // namespace nettest
