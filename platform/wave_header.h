// The 44-byte RIFF/WAVE header of a PCM wave image.
#pragma once
#include <cstdint>

namespace platform {

constexpr int kWaveHeaderSize = 44;

void writeWaveHeader(uint8_t* out, int channels, int sampleRate, int bitsPerSample, uint32_t dataSize);

}  // namespace platform
