#include "support/roteiro_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace testsupport {

ScriptRun runScript(const ScratchDir& dir, const std::string& script, const std::string& environment,
                    const std::string& settings) {
  // The run's own files lie apart, out of the way of directory searches.
  const ScratchDir own;
  std::ofstream(own / "script.txt") << script;
  std::ofstream(own / "keys.txt") << "key Enter\n";
  std::ofstream(own / "Escuta.ini") << "[ESCUTA]\r\nTEMPOESPERAPROGVOLTAR=0\r\n" << settings;
  // A started program has no window to take the front in headless: the
  // wait for the user's return is kept short.
  const std::string& o = own.path();
  const std::string cmd = "cd " + dir.path() + " && " + environment + " ESCUTA_FRONT_WAIT_MS=200 " ROTEIRO
                          " --frontend headless --clock-speed 10 --time-limit 600 --config-dir " + o + " --keys " + o +
                          "/keys.txt --transcript " + o + "/t.txt " + o + "/script.txt 2>" + o + "/err.txt";
  const int raw = std::system(cmd.c_str());
  ScriptRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::istringstream lines(slurp(own / "t.txt"));
  for (std::string line; std::getline(lines, line);) {
    const size_t tab = line.find('\t');
    const std::string event = line.substr(0, tab), text = line.substr(tab + 1);
    if (event == "SHOW" && text == "\\r\\n") continue;
    if (event == "SHOW" || event == "RUN" || event == "PICTURE" || event == "ERROR") {
      run.seen += event + " " + (text.ends_with("\\r\\n") ? text.substr(0, text.size() - 4) : text) + "\n";
    }
    if (event == "ERROR") break;
  }
  return run;
}

}  // namespace testsupport
