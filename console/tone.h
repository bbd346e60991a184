// The console's tone: a square wave looped through the audio device, used for
// the braille keyboard's signals; and the bell of the BEL character.
#pragma once
#include <cstdint>
#include <vector>

namespace console {

// The 8-bit mono 11025 Hz wave image of one second of a square wave at
// frequency f (1..65535), cut at the last whole period, as the tone loops it.
std::vector<uint8_t> toneImage(int frequency);

// Starts a continuous tone, replacing one already playing.
void toneOn(int frequency);
void toneOff();

// The short beep of BEL.
void bell();

}  // namespace console
