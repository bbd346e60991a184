// Synthesizer kinds 5, 54 and every other kind but 3 and 4 through
// speech-dispatcher, the voices the user's screen reader speaks with: one
// connection of our own, opened by synthOpen and closed by synthClose. The
// client library is opened on first use.
#pragma once
#include "speech/synth_dispatch.h"

namespace speech {

extern const SynthDriver kSpeechdVoice;

}  // namespace speech
