// The command line shared by every program, parsed in one place.
#pragma once
#include <string>
#include <vector>

namespace platform {

struct Options {
  std::string frontend;    // "" = choose
  std::string keys;        // key script file
  std::string transcript;  // "-" = standard output
  std::string audioOut;
  std::string configDir;
  std::string screenOut;
  bool audioDevice = false;
  bool braille = false;    // headless: take the braille display all the same
  double timeLimit = 600;  // seconds on the headless clock
  int clockSpeed = 1;      // headless: how many times faster than real time
  std::vector<std::string> args;  // what follows the options
};

inline constexpr int kMaxClockSpeed = 100;

enum class ParseResult { Run, Help, Version, Error };

// Options first, then the program's own arguments; each option may also come
// from its environment variable. `error` says what was wrong.
ParseResult parseOptions(int argc, char** argv, Options& options, std::string& error);

// The directory of Escuta.ini that a whole command line (the program, then
// its arguments) gives with --config-dir among its options; empty when none.
std::string configDirOption(const std::vector<std::string>& commandLine);

// Help text for a program whose own arguments are described by `usage`.
std::string helpText(const std::string& program, const std::string& usage);

}  // namespace platform
