// Running a script through roteiro headless, for the network tests, and
// reaching a loopback port as a client.
#pragma once
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "support/scratch.h"

namespace nettest {

inline int connectTo(uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(port);
  return ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 ? fd : (::close(fd), -1);
}

inline std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
  return text;
}

// Runs the script; the SHOW lines of its transcript (the error report's line
// number among them), and whether it ended with the execution-error report.
struct ScriptRun {
  std::string shown;
  bool failed = false;
};
inline ScriptRun runScript(const std::string& script, const std::string& keys, const std::string& ini = "") {
  testsupport::ScratchDir dir;
  std::ofstream(dir / "s.txt") << script;
  std::ofstream(dir / "k.txt") << keys;
  if (!ini.empty()) std::ofstream(dir / "Escuta.ini") << ini;
  const std::string cmd = "cd " + dir.path() + " && " ROTEIRO " --frontend headless --time-limit 30 --config-dir " +
                          dir.path() + " --keys k.txt --transcript t.txt s.txt 2>/dev/null";
  const int raw = std::system(cmd.c_str());
  ScriptRun r;
  std::ifstream t(dir / "t.txt");
  for (std::string line; std::getline(t, line);) {
    if (line.starts_with("SHOW\t") && line != "SHOW\t\\r\\n") r.shown += line.substr(5) + "|";
    if (line.starts_with("ERROR\t")) r.failed = true;
  }
  EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == (r.failed ? 1 : 0)) << script;
  return r;
}

}  // namespace nettest
