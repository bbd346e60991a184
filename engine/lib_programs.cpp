// EXECUTA, EXISTEPROG, ENVIACMD and CMD: starting other programs, asking
// whether one runs, talking to the piped child, and running a text as a
// command line.
#include <cctype>
#include <cstdlib>
#include <filesystem>
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

// An address the desktop opens: a scheme followed by "//" ("https://",
// "ftp://"), "mailto:", or a bare "www." name.
bool addressToOpen(std::string_view text, std::string& url) {
  const std::string up = upper(text);
  if (up.starts_with("WWW.")) {
    url = platform::cp1252ToUtf8(text);
    return true;
  }
  size_t colon = 0;
  while (colon < text.size() && (std::isalnum(static_cast<unsigned char>(text[colon])) || text[colon] == '+' ||
                                 text[colon] == '-' || text[colon] == '.'))
    ++colon;
  const bool scheme = colon > 1 && std::isalpha(static_cast<unsigned char>(text[0])) && colon < text.size() &&
                      text[colon] == ':';
  if (!scheme || (text.substr(colon, 3) != "://" && !up.starts_with("MAILTO:"))) return false;
  url = platform::cp1252ToUtf8(text);
  return true;
}

// A program runs; a document, a folder or an address is opened with the
// desktop's program for it, its parameters left aside, as the shell's open
// verb does. Hidden, the started program's output goes nowhere (there is no
// window to hide).
bool startOrOpen(const ProgramText& p, platform::Start how) {
  const std::string path = platform::hostPath(p.program);
  const std::string file = platform::findProgramFile(path);
  if (!file.empty()) return platform::startDetached(file, splitParameters(p.parameters), how);
  std::string url;
  if (addressToOpen(p.program, url)) return platform::openWithDesktop(url, how);
  std::error_code error;
  if (path.empty() || !std::filesystem::exists(path, error)) return false;
  return platform::openWithDesktop(std::filesystem::absolute(path, error).string(), how);
}

Status executa(Interp& in, std::string_view text) {
  int ampersands = 0;
  while (takeAmpersand(text)) ++ampersands;
  std::string operand;
  if (!readOperand(in, text, operand) || !text.empty()) return false;
  speech::waitWhileSpeaking();
  const ProgramText p = splitProgramText(operand);
  if (ampersands == 3) {
    const std::string file = platform::findProgramFile(platform::hostPath(p.program));
    return !file.empty() && platform::startPiped(file, splitParameters(p.parameters));
  }
  const platform::Start how = ampersands == 0   ? platform::Start::InFront
                             : ampersands == 2 ? platform::Start::Hidden
                                               : platform::Start::Behind;
  if (!startOrOpen(p, how)) return false;
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
