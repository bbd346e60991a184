// The 44-byte RIFF/WAVE header of a PCM wave image, and the PCM format it names.
#pragma once
#include <cstdint>

namespace platform {

constexpr int kWaveHeaderSize = 44;

struct WaveFormat {
  int rate = 0;  // frames per second
  int channels = 0;
  int bits = 0;  // per sample: 8 (unsigned) or 16 (signed, little-endian)
  bool operator==(const WaveFormat&) const = default;
};

void writeWaveHeader(uint8_t* out, int channels, int sampleRate, int bitsPerSample, uint32_t dataSize);

}  // namespace platform
