#include "platform/options.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

platform::ParseResult parse(std::vector<const char*> args, platform::Options& o, std::string& error) {
  args.insert(args.begin(), "prog");
  return platform::parseOptions(static_cast<int>(args.size()), const_cast<char**>(args.data()), o, error);
}

TEST(Options, OptionsComeBeforeTheProgramsOwnArguments) {
  platform::Options o;
  std::string error;
  ASSERT_EQ(parse({"--frontend", "headless", "--keys=k.txt", "--time-limit", "2.5", "--audio-device", "s.txt",
                   "--keys", "x"},
                  o, error),
            platform::ParseResult::Run);
  EXPECT_EQ(o.frontend, "headless");
  EXPECT_EQ(o.keys, "k.txt");
  EXPECT_DOUBLE_EQ(o.timeLimit, 2.5);
  EXPECT_TRUE(o.audioDevice);
  EXPECT_EQ(o.clockSpeed, 1);
  EXPECT_EQ(o.args, (std::vector<std::string>{"s.txt", "--keys", "x"}));
}

TEST(Options, EnvironmentGivesDefaultsThatTheCommandLineOverrides) {
  setenv("ESCUTA_TRANSCRIPT", "env.txt", 1);
  setenv("ESCUTA_TIME_LIMIT", "7", 1);
  setenv("ESCUTA_CLOCK_SPEED", "20", 1);
  platform::Options o;
  std::string error;
  ASSERT_EQ(parse({"--transcript", "-"}, o, error), platform::ParseResult::Run);
  EXPECT_EQ(o.transcript, "-");
  EXPECT_DOUBLE_EQ(o.timeLimit, 7);
  EXPECT_EQ(o.clockSpeed, 20);
  ASSERT_EQ(parse({"--clock-speed", "3"}, o, error), platform::ParseResult::Run);
  EXPECT_EQ(o.clockSpeed, 3);
  setenv("ESCUTA_CLOCK_SPEED", "fast", 1);
  EXPECT_EQ(parse({}, o, error), platform::ParseResult::Error);
  EXPECT_EQ(error, "ESCUTA_CLOCK_SPEED takes a whole number from 1 to 100, not fast");
  unsetenv("ESCUTA_TRANSCRIPT");
  unsetenv("ESCUTA_TIME_LIMIT");
  unsetenv("ESCUTA_CLOCK_SPEED");
}

TEST(Options, Errors) {
  struct Case {
    std::vector<const char*> args;
    const char* error;
  } cases[] = {
      {{"--nope"}, "unknown option --nope"},
      {{"--keys"}, "--keys needs a value"},
      {{"--time-limit", "0"}, "--time-limit takes a positive number of seconds, not 0"},
      {{"--clock-speed", "0"}, "--clock-speed takes a whole number from 1 to 100, not 0"},
      {{"--clock-speed=2.5"}, "--clock-speed takes a whole number from 1 to 100, not 2.5"},
      {{"--clock-speed", "101"}, "--clock-speed takes a whole number from 1 to 100, not 101"},
      {{"--frontend", "gtk"}, "unknown frontend gtk (sdl, tty or headless)"},
  };
  for (const Case& c : cases) {
    platform::Options o;
    std::string error;
    EXPECT_EQ(parse(c.args, o, error), platform::ParseResult::Error);
    EXPECT_EQ(error, c.error);
  }
  platform::Options o;
  std::string error;
  EXPECT_EQ(parse({"--help"}, o, error), platform::ParseResult::Help);
  EXPECT_EQ(parse({"--version"}, o, error), platform::ParseResult::Version);
}

// Another program's directory of Escuta.ini, read from its command line:
// only where the options are, the last one given winning.
TEST(Options, TheConfigurationDirectoryOfAnotherCommandLine) {
  struct Case {
    std::vector<std::string> commandLine;
    const char* dir;
  } cases[] = {
      {{"telinha", "--config-dir", "/a"}, "/a"},
      {{"telinha", "--frontend=headless", "--config-dir=/a", "--audio-device", "--keys", "k.txt"}, "/a"},
      {{"roteiro", "--config-dir", "/a", "--config-dir", "/b", "s.txt"}, "/b"},
      {{"roteiro", "s.txt", "--config-dir", "/a"}, ""},           // the script's own argument
      {{"roteiro", "--", "--config-dir", "/a"}, ""},
      {{"roteiro", "--keys", "--config-dir", "s.txt"}, ""},       // the value of --keys
      {{"roteiro", "--nope", "--config-dir", "/a"}, ""},          // a command line that does not run
      {{"roteiro", "--config-dir"}, ""},
      {{"telinha"}, ""},
      {{}, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::configDirOption(c.commandLine), c.dir) << testing::PrintToString(c.commandLine);
  }
}

}  // namespace
