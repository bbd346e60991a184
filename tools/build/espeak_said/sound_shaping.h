// Turning eSpeak NG's output into a voice's sound: its rate, one loudness for
// every carrier, 8-bit samples where the voice keeps them.
#pragma once
#include <cstdint>
#include <vector>

namespace espeak_said {

// 16-bit samples at `rate` to floats (-1..1) at `voiceRate`, low-passed first.
std::vector<float> toVoiceRate(const std::vector<int16_t>& samples, int rate, int voiceRate);

// RMS of the loudest 20 ms at `rate`: how loud the piece's vowel sounds.
float loudness(const std::vector<float>& sound, int rate);

// Unsigned 8-bit samples after `gain`, the peaks held under full scale.
std::vector<uint8_t> toUnsigned8(const std::vector<float>& sound, float gain);

}  // namespace espeak_said
