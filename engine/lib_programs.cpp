// EXECUTA, EXISTEPROG, ENVIACMD and CMD: starting other programs, asking
// whether one runs, talking to the piped child, and running a text as a
// command line.
#include <cstdlib>
#include <string>
#include <vector>

#include "automation/desktop.h"
#include "console/screen.h"
#include "engine/api.h"
#include "engine/libraries.h"
#include "engine/number.h"
#include "engine/piped_child.h"
#include "engine/readers.h"
#include "engine/text.h"
#include "engine/values.h"
#include "engine/variables.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/platform.h"
#include "platform/process.h"
#include "settings/settings.h"
#include "speech/speech_activity.h"

namespace engine {
namespace {

constexpr size_t kPipeReadLimit = 65535;

struct ProgramText {
  std::string program;
  std::string parameters;
};

// A program in double quotes may hold blanks; otherwise it ends at the first
// blank. The rest, trimmed, is its parameters.
ProgramText splitProgramText(std::string_view text) {
  text = trim(text);
  size_t end;
  size_t rest;
  if (!text.empty() && text[0] == '"') {
    end = text.find('"', 1);
    rest = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    return {std::string(trim(text.substr(1, end - 1))), std::string(trim(text.substr(rest)))};
  }
  end = 0;
  while (end < text.size() && !isBlank(text[end])) ++end;
  return {std::string(text.substr(0, end)), std::string(trim(text.substr(end)))};
}

// Parameters become arguments as a Windows command line does: blanks
// separate them, and double quotes group blanks into one and are dropped.
std::vector<std::string> splitParameters(std::string_view parameters) {
  std::vector<std::string> args;
  std::string current;
  bool quoted = false, any = false;
  for (const char c : parameters) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if (isBlank(c) && !quoted) {
      if (any) args.push_back(platform::cp1252ToUtf8(current));
      current.clear();
      any = false;
    } else {
      current += c;
      any = true;
    }
  }
  if (any) args.push_back(platform::cp1252ToUtf8(current));
  return args;
}

// How long the started program may take to come to the front before the
// wait for the user's return gives up on it: 5 s, shorter for tests.
int frontChecks() {
  const char* env = std::getenv("ESCUTA_FRONT_WAIT_MS");
  int32_t ms;
  if (!env || !numberValue(env, ms) || ms < 0 || ms > 5000) return 50;
  return ms / 100;
}

// Until another window has come to the front (for a while at most), then
// until the console is in front again, then the configured pause. On a
// desktop without a window manager nothing would ever give the console the
// focus back, so the wait for it is left out there; a program that has the
// terminal always gives it back when it ends.
void waitForReturn() {
  platform::Backend& b = platform::backend();
  for (int i = frontChecks(); i > 0 && b.windowActive(); --i) console::delayMs(100);
  automation::Desktop* desktop = automation::desktop();
  if (!desktop || desktop->managed() || b.hasTerminal()) {
    while (!b.windowActive()) console::delayMs(100);
  }
  int32_t pause;
  if (!numberValue(settings::readSetting("ESCUTA", "TEMPOESPERAPROGVOLTAR"), pause) || pause < 0 || pause > 1000) {
    pause = 1000;
  }
  console::delayMs(static_cast<int>(pause));
}

Status executa(Interp& in, std::string_view text) {
  int ampersands = 0;
  while (takeAmpersand(text)) ++ampersands;
  std::string operand;
  if (!readOperand(in, text, operand) || !text.empty()) return false;
  speech::waitWhileSpeaking();
  const ProgramText p = splitProgramText(operand);
  const std::string file = platform::findProgramFile(platform::hostPath(p.program));
  if (file.empty()) return false;
  const std::vector<std::string> args = splitParameters(p.parameters);
  // There is no window to hide: a hidden start is a plain one.
  if (ampersands == 3) return platform::startPiped(file, args);
  if (!(ampersands == 0 ? platform::startInFront(file, args) : platform::startDetached(file, args))) return false;
  if (ampersands == 0) waitForReturn();
  return true;
}

Status existeprog(Interp& in, std::string_view text) {
  std::string name;
  int target;
  if (!readOperand(in, text, name) || !readTarget(in, text, target)) return false;
  return setVariable(in, target, platform::processRunning(platform::cp1252ToUtf8(trim(name))) ? "1" : "0");
}

// Without a piped child nothing is sent. A child that has gone, or has
// stopped reading and let its pipe fill, makes the command fail rather than
// hang the program or lose the line unseen. The line ends as console
// programs here expect, with LF alone: a CR would end up in the last word.
Status enviacmd(Interp& in, std::string_view text) {
  std::string line;
  if (!readOperand(in, text, line)) return false;
  console::delayMs(100);
  if (!platform::pipedChildStarted()) return true;
  return platform::writePiped(line + "\r\n");
}

Status cmd(Interp& in, std::string_view text) {
  std::string line;
  if (!readOperand(in, text, line) || !text.empty()) return false;
  return runCommandLine(in, line, true);
}

constexpr Command kProgramCommands[] = {
    {"EXECUTA", executa}, {"EXISTEPROG", existeprog}, {"ENVIACMD", enviacmd}, {"CMD", cmd},
};

}  // namespace

std::string pipedChildOutput() {
  std::string output, error;
  platform::readPiped(kPipeReadLimit, output, error);
  std::string result = output.empty() ? error : output + "\r\n" + error;
  if (!result.empty()) result += "\r\n";
  return result;
}

Library programLibrary() { return kProgramCommands; }

}  // namespace engine
