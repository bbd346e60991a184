#include "speech/click_beep.h"

#include "console/keyboard.h"
#include "platform/transcript.h"
#include "speech/feedback_sounds.h"
#include "speech/speech_activity.h"
#include "speech/wave_player.h"

namespace speech {

void playClick() {
  waitForSynth();
  platform::transcriptEvent("CLICK", "");
  const bool cutting = pitchCutting();
  setPitchCutting(false);
  playWaveImage(clickSound());
  waitWhileSpeaking();
  setPitchCutting(cutting);
}

void playBeep() {
  waitForSynth();
  while (console::keyPressed()) console::readKey();
  platform::transcriptEvent("BEEP", "");
  playWaveImage(beepImage(clickDivisor()));
  waitWhileSpeaking();
}

}  // namespace speech
