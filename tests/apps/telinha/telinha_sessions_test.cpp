// Two sessions of the suite on one computer, each with its own directory of
// Escuta.ini (two users, or one user's two configurations): one session's
// client switches only its own notification monitor.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "apps/telinha_run.h"

namespace {

using telinha_run::waitFor;
using telinha_run::missingInOrder;

bool runs(pid_t pid) {
  const std::vector<pid_t> monitors = telinha_run::runningIds("telinha_mon");
  return std::find(monitors.begin(), monitors.end(), pid) != monitors.end();
}

class TwoSessions : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(telinha_run::start(a));
    ASSERT_TRUE(telinha_run::start(b));
  }
  void TearDown() override {
    telinha_run::stop(a);
    telinha_run::stop(b);
  }
  telinha_run::Machine a, b;
};

// A's monitor runs. B's client does not take it for its own: its first start
// switches B's monitor on, its second switches B's off, and A's runs on.
TEST_F(TwoSessions, AClientSwitchesOnlyItsOwnSessionsMonitor) {
  const pid_t monitorA = telinha_run::startProgram(a, "telinha_mon", {});
  ASSERT_TRUE(waitFor([&] { return runs(monitorA); }, 10));

  const std::string quit = "key Esc\nkey s\n";
  const telinha_run::ClientRun first = telinha_run::runClient(b, quit);
  EXPECT_EQ(first.status, 0) << first.seen << first.stderrText;
  EXPECT_EQ(missingInOrder(first.seen, {"RUN " TELINHA_BIN "/telinha_mon", "MENU Filmes"}), "");
  EXPECT_EQ(first.seen.find("escuta_stop"), std::string::npos) << first.seen;
  EXPECT_TRUE(waitFor([] { return telinha_run::runningIds("telinha_mon").size() == 2; }, 10));

  const telinha_run::ClientRun second = telinha_run::runClient(b, quit);
  EXPECT_EQ(second.status, 0) << second.seen << second.stderrText;
  EXPECT_EQ(missingInOrder(second.seen, {"RUN " TELINHA_BIN "/escuta_stop telinha_mon", "MENU Filmes"}), "");
  EXPECT_TRUE(waitFor([&] { return telinha_run::runningIds("telinha_mon") == std::vector<pid_t>{monitorA}; }, 10))
      << "B's monitor ended, A's runs on";
}

}  // namespace
