#include "controls/open_word.h"

#include <string>
#include <vector>

#include "controls/beep.h"
#include "controls/edit_text.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/process.h"
#include "settings/settings.h"
#include "speech/speech_activity.h"

namespace controls {
namespace {

std::string upperAscii(std::string_view text) {
  std::string up(text);
  for (char& c : up) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return up;
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// A program (a path, or a name on PATH) with its arguments, not waited for.
bool startProgram(const std::string& program, const std::vector<std::string>& args) {
  const std::string file = platform::findProgramFile(program);
  return !file.empty() && platform::startDetached(file, args);
}

bool launch(const std::string& word) {
  const std::string up = upperAscii(word);
  if (startsWith(up, "HTTP://") || startsWith(up, "HTTPS://") || startsWith(up, "WWW.")) {
    const std::string address = platform::cp1252ToUtf8(word);
    const std::string browser = settings::readSetting("ESCUTA", "PROG.HTM");
    if (!browser.empty()) return startProgram(platform::hostPath(browser), {address});
    return platform::openWithDesktop(address);
  }
  const size_t dot = up.find('.');
  const std::string ext = dot == std::string::npos ? "" : up.substr(dot + 1, 3);
  if (ext == "EXE" || ext == "COM") return startProgram(platform::hostPath(word), {});
  const std::string program = settings::readSetting("ESCUTA", "PROG." + ext);
  if (program.empty()) return platform::openWithDesktop(platform::hostPath(word));
  return startProgram(platform::hostPath(program), {platform::hostPath(word)});
}

}  // namespace

void openWord(std::string_view text, int p) {
  const std::string word = wordToOpen(text, p);
  if (word.empty()) return beep();
  speech::waitWhileSpeaking();
  const bool started = launch(word);
  speech::waitWhileSpeaking();
  if (!started) beep();
}

}  // namespace controls
