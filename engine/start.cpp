// The engine's start in a program: speech and the console, which are the
// process's, and what Escuta.ini sets for the interpreter.
#include "console/screen.h"
#include "engine/engine.h"
#include "engine/text_budget.h"
#include "settings/settings.h"
#include "speech/speech_activity.h"
#include "speech/speech_service.h"

namespace engine {

void startEngine(Interp& in, std::string_view programName) {
  // The sound modules' own start-ups come before speech starts.
  speech::startSpeechModules();
  speech::initSpeech(0, settings::readSetting("ROTEIRO", "DIRROTEIRO"));
  readTextBound(in);
  console::clearScreen();
  console::setTitle(programName);
}

}  // namespace engine
