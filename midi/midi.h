// The one MIDI output of the process, open from INICIA to TERMINA: the ALSA
// sequencer's first synthesizer port on a desktop, else FluidSynth in the
// program with the system's General MIDI sound font, heard through our own
// sound device (so --audio-out records it). Headless programs always take
// FluidSynth, so that they sound the same on every machine.
#pragma once
#include <cstdint>
#include <string>

namespace midi {

// Debian's alternatives link to the installed General MIDI sound font.
inline constexpr char kSoundFont[] = "/usr/share/sounds/sf2/default-GM.sf2";

// False, with `why` in Portuguese (Windows-1252), when no output can be had.
bool open(std::string& why);
void close();
bool isOpen();
// Sends a packed short message; false when the output refuses it.
bool send(uint32_t packed);

}  // namespace midi
