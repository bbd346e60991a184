// escuta_stop, what scripts run to end programs by name: only the programs
// of its own directory of Escuta.ini, a bounded wait, never itself.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/standin.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> session(const std::string& configDir) {
  return {"ESCUTA_CONFIG_DIR=" + configDir, "HOME=/nonexistent"};
}

std::string unique(const std::string& name) { return name + "_" + std::to_string(::getpid()); }

TEST(EscutaStop, EndsOnlyTheNamedProgramsOfItsOwnDirectory) {
  standin::Programs p;
  const std::string a = p.dir() / "a", b = p.dir() / "b";
  const std::string client = unique("escuta_cliente"), monitor = unique("escuta_monitor");
  const pid_t clientA1 = p.start({.name = client, .env = session(a)});
  const pid_t clientA2 = p.start({.name = client, .args = {"--config-dir", a}, .env = session(b)});
  const pid_t clientB = p.start({.name = client, .env = session(b)});
  const pid_t monitorA = p.start({.name = monitor, .env = session(a)});

  EXPECT_EQ(p.run(ESCUTA_STOP, {client}, session(a)), 0);
  EXPECT_FALSE(p.running(clientA1));
  EXPECT_FALSE(p.running(clientA2));
  EXPECT_TRUE(p.running(clientB)) << "another directory's client";
  EXPECT_TRUE(p.running(monitorA)) << "another name";

  EXPECT_EQ(p.run(ESCUTA_STOP, {client, monitor}, session(b)), 0);
  EXPECT_FALSE(p.running(clientB));
  EXPECT_TRUE(p.running(monitorA)) << "another directory's monitor";
}

TEST(EscutaStop, CommandLines) {
  struct Case {
    std::vector<std::string> args;
    int status;
    bool usage;
  } cases[] = {
      {{}, 2, true},
      {{""}, 2, true},
      {{"--help"}, 2, true},
      {{unique("escuta_nada")}, 0, false},  // nothing to end
      {{"escuta_stop"}, 0, false},          // never itself
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    standin::Programs p;
    EXPECT_EQ(p.run(ESCUTA_STOP, c.args, session(p.dir() / "a")), c.status);
    EXPECT_EQ(testsupport::slurp(p.dir() / "errors.txt"), c.usage ? "usage: escuta_stop NAME...\n" : "");
  }
}

TEST(EscutaStop, AProgramThatStaysFailsItAfterABoundedWait) {
  standin::Programs p;
  const std::string name = unique("escuta_teimoso");
  std::vector<std::string> env = session(p.dir() / "a");
  env.push_back("STANDIN_HOLD=1");
  const pid_t stays = p.start({.name = name, .env = env});
  const auto before = Clock::now();
  EXPECT_EQ(p.run(ESCUTA_STOP, {name}, session(p.dir() / "a")), 1);
  const auto waited = Clock::now() - before;
  EXPECT_GE(waited, std::chrono::seconds(4));
  EXPECT_LT(waited, std::chrono::seconds(10));
  EXPECT_TRUE(p.running(stays));
}

}  // namespace
