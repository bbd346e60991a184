// The console demo run as a user would: keys from a key script, then its
// transcript, screen and exit status compared with what is expected.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <optional>

#include "support/scratch.h"

namespace {

using testsupport::slurp;

struct Outcome {
  int status;
  std::string transcript, screen, errors;
};

class Program : public ::testing::Test {
 protected:

  // Without `keys`, the run has no key script.
  Outcome run(const std::optional<std::string>& keys, const std::string& extra = "") {
    if (keys) std::ofstream(dir_ + "/keys.txt") << *keys;
    const std::string cmd = "ESCUTA_CONFIG_DIR=" + dir_ + " " CONSOLEDEMO " --frontend headless " +
                            (keys ? "--keys " + dir_ + "/keys.txt" : "") + " --transcript " + dir_ +
                            "/t.txt --screen-out " + dir_ + "/s.txt " + extra + " 2>" + dir_ + "/err.txt";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(dir_ + "/t.txt"), slurp(dir_ + "/s.txt"),
            slurp(dir_ + "/err.txt")};
  }
  testsupport::ScratchDir scratch_;
  const std::string& dir_ = scratch_.path();
};

TEST_F(Program, EchoesEveryKeyUntilEsc) {
  const Outcome r = run(slurp(DEMO_KEYS));
  EXPECT_EQ(r.status, 0) << r.errors;
  EXPECT_EQ(r.transcript, slurp(TEST_DATA "/demo.transcript"));
  EXPECT_EQ(r.screen, slurp(TEST_DATA "/demo.screen"));
}

TEST_F(Program, AnExhaustedKeyScriptEndsTheRunWithAnError) {
  const Outcome r = run("type a\n");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.errors.find("key script has ended"), std::string::npos) << r.errors;
  // The screen is written on this exit path too.
  EXPECT_NE(r.screen.find("Tecla: 000#97"), std::string::npos) << r.screen;
}

// Without a key script, nothing ended: the message says what is missing.
TEST_F(Program, AWaitWithNoKeyScriptSaysNothingCanAnswerIt) {
  const Outcome r = run(std::nullopt);
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.errors.find("nothing can answer it"), std::string::npos) << r.errors;
  EXPECT_EQ(r.errors.find("key script has ended"), std::string::npos) << r.errors;
}

TEST_F(Program, AnUnknownKeyNameStopsBeforeAnythingRuns) {
  const Outcome r = run("type a\nkey Ctrl+Foo\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.errors.find("keys.txt line 2: unknown key 'Foo'"), std::string::npos) << r.errors;
  EXPECT_EQ(r.transcript, "");
}

TEST_F(Program, TheTimeLimitEndsARunThatWaitsTooLong) {
  const Outcome r = run("wait 60000\nkey Esc\n", "--time-limit 0.3");
  EXPECT_EQ(r.status, 4);
  EXPECT_NE(r.errors.find("time limit"), std::string::npos) << r.errors;
}

TEST_F(Program, ATimedKeyArrivesOnTheClockAndCtrlBreakClosesTheProgram) {
  const Outcome r = run("wait 50\nkey Ctrl+Break\n");
  EXPECT_EQ(r.status, 0) << r.errors;
  EXPECT_EQ(r.transcript.find("Programa terminado"), std::string::npos);  // closed, not ended
}

TEST_F(Program, HelpAndBadOptions) {
  const std::string out = dir_ + "/out.txt";
  int raw = std::system((CONSOLEDEMO " --help >" + out).c_str());
  EXPECT_EQ(WEXITSTATUS(raw), 0);
  EXPECT_NE(slurp(out).find("--screen-out"), std::string::npos);
  raw = std::system((CONSOLEDEMO " --frontend nada 2>" + out).c_str());
  EXPECT_EQ(WEXITSTATUS(raw), 2);
  EXPECT_NE(slurp(out).find("unknown frontend nada"), std::string::npos);
}

}  // namespace
