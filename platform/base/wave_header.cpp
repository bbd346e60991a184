#include "platform/base/wave_header.h"

#include <cstring>

namespace platform {
namespace {
void put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
  put16(p, v & 0xFFFF);
  put16(p + 2, v >> 16);
}
}  // namespace

void writeWaveHeader(uint8_t* out, int channels, int sampleRate, int bitsPerSample, uint32_t dataSize) {
  const uint32_t align = static_cast<uint32_t>(channels * bitsPerSample / 8);
  std::memcpy(out, "RIFF", 4);
  put32(out + 4, dataSize + 36);
  std::memcpy(out + 8, "WAVEfmt ", 8);
  put32(out + 16, 16);
  put16(out + 20, 1);  // PCM
  put16(out + 22, static_cast<uint32_t>(channels));
  put32(out + 24, static_cast<uint32_t>(sampleRate));
  put32(out + 28, static_cast<uint32_t>(sampleRate) * align);
  put16(out + 32, align);
  put16(out + 34, static_cast<uint32_t>(bitsPerSample));
  std::memcpy(out + 36, "data", 4);
  put32(out + 40, dataSize);
}

}  // namespace platform
