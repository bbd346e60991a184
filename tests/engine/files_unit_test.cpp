// The pieces below the file and program commands: name patterns, numbers
// written with a decimal separator, and the piped child's pipes.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "engine/piped_child.h"
#include "engine/wildcard.h"
#include "platform/base/decimal_point.h"
#include "platform/process.h"

namespace {

TEST(Wildcard, WindowsRules) {
  struct Row {
    const char* pattern;
    const char* name;
    bool matches;
  };
  const std::string sixtyA(60, 'a');  // many stars over a long name: no blow-up
  const Row rows[] = {
      {"*.*", "leia-me", true},       {"*.*", "a.b.c", true},        {"*.txt", "NOTA.TXT", true},
      {"*.txt", "nota.txt.bak", false}, {"?ota.txt", "nota.txt", true}, {"?ota.txt", "ota.txt", false},
      {"n*a*", "nada", true},         {"n*a*b", "nada", false},       {"", "", true},
      {"*", "", true},                {"nota.*", "nota", true},       {"a?", "a", false},
      {"\xC1*", "\xE1gua", true},     {"*a*a*a*a*b", sixtyA.c_str(), false},
  };
  for (const Row& r : rows) EXPECT_EQ(engine::wildcardMatch(r.pattern, r.name), r.matches) << r.pattern << " " << r.name;
}

TEST(DecimalPoint, FixedWithTheGivenSeparator) {
  EXPECT_EQ(platform::fixedDecimal(1.5, 2, ','), "1,50");
  EXPECT_EQ(platform::fixedDecimal(0, 2, ','), "0,00");
  EXPECT_EQ(platform::fixedDecimal(1023.999, 2, '.'), "1024.00");
}

std::string awaitOutput() {
  std::string out;
  for (int i = 0; i < 100 && out.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    out = engine::pipedChildOutput();
  }
  return out;
}

TEST(PipedChild, AnswersAndErrorsComeTogether) {
  EXPECT_EQ(engine::pipedChildOutput(), "");
  ASSERT_TRUE(platform::startPiped(platform::findProgramFile("sh"), {}));
  ASSERT_TRUE(platform::writePiped("echo ola\n"));
  EXPECT_EQ(awaitOutput(), "ola\n\r\n\r\n");
  ASSERT_TRUE(platform::writePiped("echo erro >&2\n"));
  EXPECT_EQ(awaitOutput(), "erro\n\r\n");
  ASSERT_TRUE(platform::writePiped("echo a; echo b >&2; sleep 0.2\n"));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(engine::pipedChildOutput(), "a\n\r\nb\n\r\n");
  EXPECT_EQ(engine::pipedChildOutput(), "");
}

TEST(PipedChild, AFloodIsTakenInBoundedPieces) {
  ASSERT_TRUE(platform::startPiped(platform::findProgramFile("yes"), {}));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  std::string out, err;
  platform::readPiped(65535, out, err);
  EXPECT_GT(out.size(), 0u);
  EXPECT_LE(out.size(), 65535u);
}

TEST(PipedChild, OneThatNeverReadsMakesTheWriteFailInsteadOfHanging) {
  ASSERT_TRUE(platform::startPiped(platform::findProgramFile("sleep"), {"5"}));
  EXPECT_FALSE(platform::writePiped(std::string(1 << 20, 'x')));
}

TEST(PipedChild, OneThatHasGoneMakesTheWriteFail) {
  ASSERT_TRUE(platform::startPiped(platform::findProgramFile("true"), {}));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(platform::writePiped("x\r\n"));
}

TEST(ProgramFile, FoundOnPathAlsoByItsExeName) {
  EXPECT_EQ(platform::findProgramFile("sh.exe"), platform::findProgramFile("sh"));
  EXPECT_NE(platform::findProgramFile("sh"), "");
  EXPECT_EQ(platform::findProgramFile("nao_ha_tal_programa"), "");
}

}  // namespace
