#include "probe_run.h"

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>

namespace controlstest {

Outcome ProbeTest::run(const std::vector<std::string>& actions, const std::string& keys) {
  std::string arguments = "--";
  for (const std::string& a : actions) arguments += " '" + a + "'";
  return runProgram(CONTROLS_PROBE, arguments, keys);
}

Outcome ProbeTest::runScript(const std::string& script, const std::string& keys, const std::string& options) {
  std::ofstream(scratch_ / "script.txt") << script;
  return runProgram(ROTEIRO, options + " " + (scratch_ / "script.txt"), keys);
}

Outcome ProbeTest::runProgram(const std::string& program, const std::string& arguments, const std::string& keys) {
  std::ofstream(scratch_ / "Escuta.ini") << ini_;
  std::ofstream(scratch_ / "keys.txt") << keys;
  const std::string cmd = "cd " + scratch_.path() + " && ESCUTA_CONFIG_DIR=" + scratch_.path() + " " + extraEnv_ + " " +
                          program + " --frontend headless --clock-speed " + std::to_string(clockSpeed_) +
                          " --time-limit 600 --keys " + (scratch_ / "keys.txt") +
                          " --transcript " + (scratch_ / "t.txt") + " --screen-out " + (scratch_ / "s.txt") + " " +
                          arguments + " >" + (scratch_ / "out.txt") + " 2>&1";
  const auto start = std::chrono::steady_clock::now();
  const int raw = std::system(cmd.c_str());
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  Outcome r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, testsupport::slurp(scratch_ / "out.txt"), {}, {}, took.count()};
  std::istringstream lines(testsupport::slurp(scratch_ / "t.txt"));
  for (std::string line; std::getline(lines, line);) {
    const size_t tab = line.find('\t');
    const std::string name = line.substr(0, tab);
    std::string text = tab == std::string::npos ? "" : line.substr(tab + 1);
    if (name == "KEY") continue;
    if (name == "SHOW") {
      text = text.substr(0, text.find("\\r\\n"));
      if (text.find_first_not_of(' ') == std::string::npos) continue;
    }
    if (name == "PLAY") {
      text = text.substr(text.find_last_of("\\/") + 1);
      text = text.substr(0, text.rfind(".wav"));
    }
    r.events.push_back(text.empty() ? name : name + " " + text);
  }
  std::istringstream rows(testsupport::slurp(scratch_ / "s.txt"));
  for (std::string row; std::getline(rows, row);) r.screen.push_back(row);
  r.screen.resize(25);
  return r;
}

bool ProbeTest::inOrder(const std::vector<std::string>& events, const std::vector<std::string>& wanted) {
  auto at = events.begin();
  for (const std::string& w : wanted) {
    at = std::find(at, events.end(), w);
    if (at == events.end()) return false;
    ++at;
  }
  return true;
}

int ProbeTest::countOf(const std::vector<std::string>& events, const std::string& event) {
  return static_cast<int>(std::count(events.begin(), events.end(), event));
}

}  // namespace controlstest
