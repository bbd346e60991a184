// The engine's start: its state made new, then speech and the console.
#include "console/screen.h"
#include "engine/channels.h"
#include "engine/clock.h"
#include "engine/engine.h"
#include "engine/lists.h"
#include "engine/run_state.h"
#include "engine/text_budget.h"
#include "engine/variables.h"
#include "settings/settings.h"
#include "speech/speech_activity.h"
#include "speech/speech_service.h"

namespace engine {
namespace {

std::vector<std::string> g_params;

}  // namespace

void resetEngine() {
  RunState& s = state();
  const bool mute = s.muteAtEnd, debug = s.debug;
  s = RunState{};
  s.muteAtEnd = mute;
  s.debug = debug;
  resetVariables();
  resetChannels();
  resetLists();
  const WallTime t = localNow();
  s.startTime = ((t.hour * 60 + t.minute) * 60 + t.second) * 100 + t.centis;
  s.startWeekday = t.weekday;
}

void initEngine(std::string_view programName) {
  resetEngine();
  // The sound modules' own start-ups come before speech starts.
  speech::startSpeechModules();
  speech::initSpeech(0, settings::readSetting("ROTEIRO", "DIRROTEIRO"));
  readTextBound();
  console::clearScreen();
  console::setTitle(programName);
}

void setParams(std::vector<std::string> params) { g_params = std::move(params); }

const std::vector<std::string>& params() { return g_params; }

}  // namespace engine
