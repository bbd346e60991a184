// The start and action loop the probe programs share: the console and the
// speech modules started as a program starts them, then each ACTION of the
// command line handed over in order.
#pragma once
#include <string>

#include "console/program.h"
#include "platform/base/codepage.h"
#include "speech/speech_service.h"

namespace testsupport {

enum class ProbeSpeech { ModulesOnly, Ready };

// The probe's exit status: 2 as soon as an action is refused.
inline int runProbe(int argc, char** argv, ProbeSpeech speech, bool (*action)(const std::string&)) {
  platform::Options options;
  if (const int status = console::startProgram(argc, argv, "ACTION...", options); status >= 0) return status;
  speech::startSpeechModules();
  if (speech == ProbeSpeech::Ready) speech::initSpeech(0, "");
  for (const std::string& a : options.args) {
    if (!action(a)) return 2;
  }
  return 0;
}

// An action typed in a UTF-8 terminal, in the system's Windows-1252.
inline std::string probeText(const std::string& action) {
  return platform::isMultibyteUtf8(action) ? platform::utf8ToCp1252(action) : action;
}

}  // namespace testsupport
