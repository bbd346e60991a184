// A synthesizer port of the ALSA sequencer: a sound card's own synthesizer, or
// a software one the user runs (FluidSynth, TiMidity++).
#pragma once
#include <memory>

#include "midi/output.h"

namespace midi {

// The first port that takes MIDI and is not the silent "Midi Through"; null
// when there is no sequencer, no library or no such port.
std::unique_ptr<Output> openAlsaSynthPort();

}  // namespace midi
