// The chunks of a RIFF/WAVE sound: its PCM format and where its data begins.
// Used for files read piece by piece and for wave images in memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "platform/base/wave_header.h"

namespace speech {

// Bytes in order, from a file or from memory.
struct ByteSource {
  std::function<size_t(uint8_t* to, size_t n)> read;  // fewer than n at the end
  std::function<bool(uint32_t n)> skip;               // false when it cannot
};

struct WaveLayout {
  platform::WaveFormat format;
  uint32_t dataSize = 0;  // as the data chunk declares it
};

// Reads the chunks up to the first byte of the data. Nothing when the sound
// is not RIFF, lacks a "fmt " chunk (before the data) or a "data" chunk, or
// is not 8- or 16-bit PCM with one or two channels: such sound would play as
// noise. A format chunk of more than 8192 bytes is refused too.
std::optional<WaveLayout> readWaveLayout(ByteSource& source);

struct WaveImage {
  platform::WaveFormat format;
  std::span<const uint8_t> data;  // cut to what the image holds
};

std::optional<WaveImage> parseWaveImage(std::span<const uint8_t> image);

}  // namespace speech
