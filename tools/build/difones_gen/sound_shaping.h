// Turning eSpeak NG's output into the voice's sound: 11025 Hz, one loudness
// for every carrier, 8-bit samples.
#pragma once
#include <cstdint>
#include <vector>

namespace difones {

// 16-bit samples at `rate` to floats (-1..1) at 11025 Hz, low-passed first.
std::vector<float> toVoiceRate(const std::vector<int16_t>& samples, int rate);

// RMS of the loudest 20 ms: how loud the piece's vowel sounds.
float loudness(const std::vector<float>& sound);

// Unsigned 8-bit samples after `gain`, the peaks held under full scale.
std::vector<uint8_t> toUnsigned8(const std::vector<float>& sound, float gain);

}  // namespace difones
