#include "speech/speech_activity.h"

#include "console/keyboard.h"
#include "platform/platform.h"
#include "speech/message_wait.h"
#include "speech/synth_dispatch.h"
#include "speech/wave_player.h"

namespace speech {
namespace {

struct Activity {
  bool synthActive = false;
  bool synthSpeaking = true;
  bool stopRequested = false;
};

Activity g;

}  // namespace

void startSpeechActivity() { g = Activity{}; }

bool isSpeaking() {
  if (console::keyPressed()) {
    stopSpeech();
    return false;
  }
  return waveBusy() || (g.synthActive && synthBusy(false));
}

void waitWhileSpeaking() { waitWhile(isSpeaking); }

void waitForSynth() {
  if (!g.synthSpeaking) return;
  waitWhileSpeaking();
  g.synthSpeaking = false;
}

void playImageAndWait(std::span<const uint8_t> image) {
  waitForSynth();
  playWaveImage(image);
  waitWhileSpeaking();
}

void stopSpeech() {
  waveStop();
  g.stopRequested = true;
  if (g.synthActive && (synthKind() == kSynthEngine || synthBusy(false))) synthStop();
  platform::backend().wake();
}

void setSynthActive(bool active) { g.synthActive = active; }
bool synthActive() { return g.synthActive; }
void setSynthSpeaking() { g.synthSpeaking = true; }
bool stopRequested() { return g.stopRequested; }
void clearStopRequest() { g.stopRequested = false; }

}  // namespace speech
