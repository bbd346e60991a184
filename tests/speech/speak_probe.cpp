// speak_probe: drives the speech service the way programs do, for the
// end-to-end tests and by hand.
//   speak_probe [options] [--] ACTION...
// Actions, in order: say:TEXT, sayfile:PATH (the file's bytes), line:TEXT
// (sayLine), spell:TEXT, char:CODE,
// number:N, time:H:M, date:D/M/Y, dial:TEXT, battery, echo (echoKey; prints
// "echo CODE"), speed:N (initSpeech again at speed N).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/base/paths.h"
#include "speech/number_pieces.h"
#include "speech/speech_activity.h"
#include "speech/speech_service.h"
#include "support/probe_main.h"

namespace {

int arg(const std::string& text, size_t& pos) {
  const int v = std::atoi(text.c_str() + pos);
  pos = text.find_first_of(":/", pos);
  pos = pos == std::string::npos ? text.size() : pos + 1;
  return v;
}

bool run(const std::string& typed) {
  const std::string action = testsupport::probeText(typed);
  const size_t colon = action.find(':');
  const std::string verb = action.substr(0, colon);
  const std::string rest = colon == std::string::npos ? "" : action.substr(colon + 1);
  size_t pos = 0;
  if (verb == "say") speech::speakText(rest);
  else if (verb == "sayfile") {
    std::string bytes;
    platform::readWholeFile(rest, bytes);
    speech::speakText(bytes);
  }
  else if (verb == "line") speech::sayLine(rest);
  else if (verb == "spell") speech::spellText(rest);
  else if (verb == "char") speech::speakChar(static_cast<uint8_t>(std::atoi(rest.c_str())));
  else if (verb == "number") speech::sayNumber(std::atoi(rest.c_str()));
  else if (verb == "time") {
    const int h = arg(rest, pos);
    speech::speakTime(h, arg(rest, pos));
  } else if (verb == "date") {
    const int d = arg(rest, pos);
    const int m = arg(rest, pos);
    speech::speakDate(d, m, arg(rest, pos));
  } else if (verb == "dial") speech::speakDialString(rest);
  else if (verb == "battery") speech::speakBattery();
  else if (verb == "echo") std::printf("echo %d\n", speech::echoKey());
  else if (verb == "speed") {
    speech::shutdownSpeech();
    speech::initSpeech(std::atoi(rest.c_str()), "");
  } else {
    std::fprintf(stderr, "unknown action %s\n", action.c_str());
    return false;
  }
  speech::waitWhileSpeaking();
  std::fflush(stdout);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  return testsupport::runProbe(argc, argv, testsupport::ProbeSpeech::Ready, run);
}
