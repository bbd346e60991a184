// FluidSynth in the program, rendered into our own sound device as one of its
// sources.
#pragma once
#include <memory>
#include <string>

#include "midi/output.h"

namespace midi {

// Null, with `why` in Portuguese (Windows-1252), when the library, the sound
// font or the sound device cannot be had.
std::unique_ptr<Output> openFluidSynth(const std::string& soundFont, std::string& why);

}  // namespace midi
