// Time compression for fast listening: every other pitch period of voiced
// sound is dropped, so speech takes about half the time at the same pitch.
#pragma once
#include <cstddef>
#include <cstdint>

namespace speech {

// Works in place on one piece of mono sound and returns its new length in
// bytes. 16-bit sound comes back as 8-bit (its high bytes, made unsigned).
// Pieces under 1000 samples are left as they are. `rate` is the sound's own:
// the search distances suit 11025 Hz, and four times them any other rate.
size_t cutPitchPeriods(uint8_t* buffer, size_t length, int bits, int rate);

}  // namespace speech
