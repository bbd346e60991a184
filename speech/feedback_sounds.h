// The wave images of the click (a confirmation) and the beep (a refusal).
// `divisor` is 1, or 2 for the short versions.
#pragma once
#include <cstdint>
#include <vector>

namespace speech {

// 256 / divisor samples, 8-bit mono 11025 Hz: the first quarter random values
// from 128 to 187, the rest silence.
std::vector<uint8_t> clickImage(int divisor, uint32_t seed);

// 512 / divisor samples of a 1378 Hz triangle wave, 8-bit mono 11025 Hz.
std::vector<uint8_t> beepImage(int divisor);

}  // namespace speech
