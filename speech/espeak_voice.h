// Synthesizer kind 4 through eSpeak NG, in this process: it synthesizes into
// the wave player, so a key stops it as it stops the recorded voice and
// --audio-out records it. The library is opened on first use.
#pragma once
#include "speech/synth_dispatch.h"

namespace speech {

extern const SynthDriver kEspeakVoice;

}  // namespace speech
