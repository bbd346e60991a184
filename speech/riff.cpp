#include "speech/riff.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/audio_device.h"

namespace speech {
namespace {

constexpr uint32_t kMaxFormatChunk = 8192;  // the file read buffer
constexpr uint32_t kPcm = 1;
constexpr uint32_t kExtensible = 0xFFFE;

uint32_t le16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) { return le16(p) | le16(p + 2) << 16; }

// Tags are compared without regard to case; `tag` is upper case.
bool tagIs(const uint8_t* p, const char* tag) {
  for (int i = 0; i < 4; ++i) {
    const int c = p[i] >= 'a' && p[i] <= 'z' ? p[i] - 32 : p[i];
    if (c != tag[i]) return false;
  }
  return true;
}

std::optional<platform::WaveFormat> formatOf(const uint8_t* body, uint32_t size) {
  const uint32_t tag = le16(body);
  const bool pcm = tag == kPcm || (tag == kExtensible && size >= 26 && le16(body + 24) == kPcm);
  const platform::WaveFormat f{static_cast<int>(std::min<uint32_t>(le32(body + 4), 0x7FFFFFFF)),
                               static_cast<int>(le16(body + 2)), static_cast<int>(le16(body + 14))};
  if (!pcm || !platform::playableFormat(f)) return std::nullopt;
  return f;
}

}  // namespace

std::optional<WaveLayout> readWaveLayout(ByteSource& source) {
  uint8_t head[12];
  if (source.read(head, sizeof head) != sizeof head || !tagIs(head, "RIFF")) return std::nullopt;
  std::optional<platform::WaveFormat> format;
  bool padMayFollow = false;
  for (;;) {
    uint8_t chunk[8];
    if (source.read(chunk, sizeof chunk) != sizeof chunk) return std::nullopt;
    // A chunk of odd size is followed by a zero pad byte, which some writers
    // leave out; no tag starts with a zero.
    if (padMayFollow && chunk[0] == 0) {
      std::memmove(chunk, chunk + 1, 7);
      if (source.read(chunk + 7, 1) != 1) return std::nullopt;
    }
    const uint32_t size = le32(chunk + 4);
    if (tagIs(chunk, "FMT ")) {
      std::array<uint8_t, kMaxFormatChunk> body;
      if (size < 16 || size > body.size() || source.read(body.data(), size) != size) return std::nullopt;
      format = formatOf(body.data(), size);
      if (!format) return std::nullopt;
    } else if (tagIs(chunk, "DATA")) {
      if (!format) return std::nullopt;
      return WaveLayout{*format, size};
    } else if (!source.skip(size)) {
      return std::nullopt;
    }
    padMayFollow = size % 2 == 1;
  }
}

std::optional<WaveImage> parseWaveImage(std::span<const uint8_t> image) {
  size_t pos = 0;
  ByteSource source{
      [&](uint8_t* to, size_t n) {
        n = std::min(n, image.size() - pos);
        if (n > 0) std::memcpy(to, image.data() + pos, n);
        pos += n;
        return n;
      },
      [&](uint32_t n) {
        if (n > image.size() - pos) return false;
        pos += n;
        return true;
      }};
  const std::optional<WaveLayout> layout = readWaveLayout(source);
  if (!layout) return std::nullopt;
  return WaveImage{layout->format, image.subspan(pos, std::min<size_t>(layout->dataSize, image.size() - pos))};
}

}  // namespace speech
