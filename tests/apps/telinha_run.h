// Runs the portal client end to end, as a user on a machine of their own:
// vitrine-demo on loopback ports, a scratch home, configuration directory
// (an Escuta.ini trusting the demo's CA and naming its ports) and client
// directory, a stand-in mpv on PATH that records its arguments, and telinha
// headless with a key script and a transcript. Programs the client starts
// (the companion, the monitor, the suite updater) are ended by process id
// when the machine goes.
#pragma once
#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/scratch.h"
#include "tools/standins/vitrine-demo/live_demo.h"

namespace telinha_run {

struct Machine {
  testsupport::ScratchDir dir;
  std::string home;       // the user's profile directory (telinha.dir)
  std::string config;     // Escuta.ini's directory
  std::string root;       // ESCUTA_ROOT: the build tree's data, with a client directory of its own
  std::string client;     // root/telinha, where the client works
  std::string bin;        // the stand-in mpv
  std::string mpvLog;     // one line per argument of every mpv start, a blank line after each
  live::Demo portal;
  bool started = false;
};

struct Options {
  std::vector<std::string> portalArgs;  // more vitrine-demo options (--fail PATH=CODE ...)
  bool suiteUpdater = true;             // PGMESCUTA names the directory of atuescuta
};

// Starts the portal and prepares the machine; false when the portal did not
// come up. A machine is used by one test; it may run the client many times.
bool start(Machine& m, const Options& options = {});

struct ClientRun {
  int status = -1;
  std::string transcript;  // the raw transcript
  std::string seen;        // "SHOW text", "SAY text", "PLAY file", "MENU item", "RUN program",
                           // "KEY code", "TITLE text", "ERROR line", one a line
  std::string stderrText;
};

// Runs telinha with the key script (text of its instructions) and waits
// for it to end (the headless time limit bounds it).
ClientRun runClient(Machine& m, const std::string& keys);

// Starts one of the client's programs (telinha_mon ...) headless, in the
// background, with more options; its process id. stop() ends it.
pid_t startProgram(const Machine& m, const std::string& program, const std::vector<std::string>& options);

// The request lines the portal received, in order ("GET /contador.json HTTP/1.1"),
// with the companion's end of the session and the monitor's polls left out
// when `clientOnly`.
std::vector<std::string> requestLines(const Machine& m, bool clientOnly = true);

// The requests whole, as logged: method, path, headers, body.
std::vector<nlohmann::json> requests(const Machine& m);

// The process ids of the programs of this name that the clients of every
// machine started, or startProgram did, and that still run.
std::vector<pid_t> runningIds(const std::string& name);

// Whether one of them runs.
bool running(const std::string& name);

// Ends what the clients started (by process id), then the machine's portal;
// other machines' portals are left to their own stop. Also done when the
// machine goes out of scope through stop() in the test's teardown.
void stop(Machine& m);

// Empty when `seen` holds each of the lines in order (others may come
// between them); otherwise which line is missing, and what was seen.
std::string missingInOrder(const std::string& seen, const std::vector<std::string>& lines);

// The arguments of each start of the stand-in mpv.
std::vector<std::vector<std::string>> playerStarts(const Machine& m);

// The file below the client directory, or empty.
std::string clientFile(const Machine& m, const std::string& relative);

// Whether `done()` came true within that many seconds, asked every 50 ms.
template <typename Done>
bool waitFor(Done done, int seconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

// A test with a machine of its own: the portal, with the options portal()
// gives, started before each test and everything ended after it.
class ClientTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(start(m, portal())); }
  void TearDown() override { stop(m); }
  virtual Options portal() { return {}; }
  Machine m;
};

}  // namespace telinha_run
