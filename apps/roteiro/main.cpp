// roteiro: the runtime with a script file instead of an embedded script.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "console/program.h"
#include "console/screen.h"
#include "engine/check.h"
#include "engine/engine.h"
#include "platform/codepage.h"
#include "script_file.h"

namespace {

const char* const kUsage =
    "[--check] SCRIPT [PARAMS...]\n"
    "\n"
    "Runs a script of the Escuta language: a text file in Windows-1252 (UTF-8 is\n"
    "recognised and converted) of at most 5000 lines. What the script writes is\n"
    "shown and spoken; PARAMS are what \"SEJA x PARAMS\" gives it, spaces as %20.\n"
    "\n"
    "  --check  report unknown commands, commands not available yet and jumps to\n"
    "           missing labels, without running anything\n"
    "\n"
    "Exit status: 0 the script ended normally, 1 it ended with an execution error\n"
    "(after the user pressed Enter), 2 the command line or the script was unusable.\n"
    "Set ESCUTA_FIXED_TIME=\"2025-03-05 13:05:07\" to stop the clock scripts read.";

// The options that are followed by a value.
bool takesValue(const char* option) {
  return std::strchr(option, '=') == nullptr && std::strcmp(option, "--audio-device") != 0 &&
         std::strcmp(option, "--help") != 0 && std::strcmp(option, "--version") != 0;
}

// Takes --check out of the options, which come before SCRIPT.
bool takeCheckOption(std::vector<char*>& args) {
  bool check = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const char* a = args[i];
    if (std::strcmp(a, "--check") == 0) {
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i--));
      check = true;
    } else if (std::strncmp(a, "--", 2) != 0 || std::strcmp(a, "--") == 0) {
      break;
    } else if (takesValue(a)) {
      ++i;
    }
  }
  return check;
}

std::vector<std::string> scriptParams(const std::vector<std::string>& args) {
  std::vector<std::string> params;
  for (size_t i = 1; i < args.size(); ++i)
    params.push_back(platform::isMultibyteUtf8(args[i]) ? platform::utf8ToCp1252(args[i]) : args[i]);
  return params;
}

int check(int argc, char** argv) {
  platform::Options options;
  std::string error;
  if (platform::parseOptions(argc, argv, options, error) != platform::ParseResult::Run || options.args.empty()) {
    std::fprintf(stderr, "roteiro: %s\n", error.empty() ? "--check needs a SCRIPT" : error.c_str());
    return 2;
  }
  const std::string& script = options.args[0];
  if (!loadScriptFile(script, error)) {
    std::fprintf(stderr, "roteiro: %s\n", error.c_str());
    return 2;
  }
  const std::vector<engine::Problem> problems = engine::checkProgram();
  for (const engine::Problem& p : problems)
    std::printf("%s:%d: %s\n", script.c_str(), p.line, platform::cp1252ToUtf8(p.message).c_str());
  return problems.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args(argv, argv + argc);
  const bool checkOnly = takeCheckOption(args);
  const int count = static_cast<int>(args.size());
  if (checkOnly) return check(count, args.data());

  platform::Options options;
  if (const int status = console::startProgram(count, args.data(), kUsage, options); status >= 0) return status;
  if (options.args.empty()) {
    std::fprintf(stderr, "roteiro: no SCRIPT given (roteiro --help tells more)\n");
    return 2;
  }
  std::string error;
  if (!loadScriptFile(options.args[0], error)) {
    std::fprintf(stderr, "roteiro: %s\n", error.c_str());
    return 2;
  }
  engine::setParams(scriptParams(options.args));
  engine::initEngine("roteiro");
  const bool ok = engine::runProgram();
  console::endProgram();
  return ok ? 0 : 1;
}
