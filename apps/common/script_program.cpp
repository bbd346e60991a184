#include "script_program.h"

#include <cstdio>
#include <cstring>

#include "console/program.h"
#include "console/screen.h"
#include "engine/check.h"
#include "engine/engine.h"
#include "engine/spoken_reporter.h"
#include "engine/store.h"
#include "platform/base/codepage.h"
#include "platform/base/printable.h"

namespace app {
namespace {

const char* const kCheckUsage =
    "\n"
    "  --check  report unknown commands and jumps to missing labels, without\n"
    "           running anything (status 1 when it finds any)\n"
    "\n"
    "Set ESCUTA_FIXED_TIME=\"2025-03-05 13:05:07\" to stop the clock scripts read.";

// The options that are followed by a value.
bool takesValue(const char* option) {
  return std::strchr(option, '=') == nullptr && std::strcmp(option, "--audio-device") != 0 &&
         std::strcmp(option, "--help") != 0 && std::strcmp(option, "--version") != 0;
}

// Takes --check out of the options, which come before the program's own
// arguments.
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

// PARAMS as the script sees them: Windows-1252, whatever the terminal sent.
std::vector<std::string> scriptParams(const std::vector<std::string>& args, int ownArgs) {
  std::vector<std::string> params;
  for (size_t i = static_cast<size_t>(ownArgs); i < args.size(); ++i)
    params.push_back(platform::isMultibyteUtf8(args[i]) ? platform::utf8ToCp1252(args[i]) : args[i]);
  return params;
}

int check(int argc, char** argv, const ScriptProgram& program) {
  platform::Options options;
  std::string error;
  // Nothing runs: the reporter never speaks.
  engine::SpokenReporter reporter;
  engine::Interp interp(reporter);
  if (platform::parseOptions(argc, argv, options, error) != platform::ParseResult::Run ||
      !program.store(interp, options.args, error)) {
    platform::printError(program.name, error);
    return 2;
  }
  const std::string where = options.args.empty() || program.ownArgs == 0 ? program.name : options.args[0];
  const std::vector<engine::Problem> problems = engine::checkProgram(interp);
  for (const engine::Problem& p : problems)
    std::printf("%s:%d: %s\n", platform::printable(where).c_str(), p.line,
                platform::printable(platform::cp1252ToUtf8(p.message)).c_str());
  if (problems.empty()) std::printf("%s: sem problemas\n", platform::printable(where).c_str());
  return problems.empty() ? 0 : 1;
}

}  // namespace

bool storeLines(engine::Interp& in, const char* const* lines, size_t count, std::string& error) {
  if (count > static_cast<size_t>(engine::kMaxLines)) {
    error = "more than " + std::to_string(engine::kMaxLines) + " lines, the most a script can hold";
    return false;
  }
  for (size_t i = 0; i < count; ++i) engine::storeLine(in, lines[i], static_cast<int>(i) + 1);
  if (count == 0) engine::setLineCount(in, 0);
  return true;
}

int runScriptProgram(int argc, char** argv, const ScriptProgram& program) {
  std::vector<char*> args(argv, argv + argc);
  const bool checkOnly = takeCheckOption(args);
  const int count = static_cast<int>(args.size());
  if (checkOnly) return check(count, args.data(), program);

  platform::Options options;
  if (const int status = console::startProgram(count, args.data(), std::string(program.usage) + kCheckUsage, options);
      status >= 0)
    return status;
  engine::SpokenReporter reporter;
  engine::Interp interp(reporter);
  std::string error;
  if (!program.store(interp, options.args, error)) {
    platform::printError(program.name, error);
    return 2;
  }
  interp.params = scriptParams(options.args, program.ownArgs);
  engine::startEngine(interp, program.name);
  if (program.prepare) program.prepare();
  const bool ok = engine::runProgram(interp);
  if (ok) console::endProgram();  // never over a pending execution error
  return ok ? 0 : 1;
}

}  // namespace app
