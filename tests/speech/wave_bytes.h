// RIFF/WAVE bytes for tests, built chunk by chunk so that headers can lie.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace speech_test {

using Bytes = std::vector<uint8_t>;

struct Chunk {
  Chunk(std::string t, Bytes b, std::optional<uint32_t> d = {}, bool p = true)
      : tag(std::move(t)), body(std::move(b)), declared(d), pad(p) {}
  std::string tag;
  Bytes body;
  std::optional<uint32_t> declared;  // the size the header claims, if not the body's
  bool pad;                          // a zero after an odd-sized body
};

// A format chunk's body: tag, channels, rate, bits, grown to `size` bytes.
Bytes fmtBody(int tag, int channels, int rate, int bits, size_t size = 16);

// "RIFF", the size, "WAVE", then the chunks.
Bytes riff(const std::vector<Chunk>& chunks, const std::string& form = "RIFF");

// A plain PCM wave: a format chunk and a data chunk.
Bytes pcmWave(int channels, int rate, int bits, const Bytes& pcm);

// n samples of 8-bit sound: a square wave of period 20 between 100 and 156.
Bytes squareWave8(size_t n);

void writeFile(const std::string& path, const Bytes& bytes);

// A recording made with --audio-out: its header fields and data.
struct Recording {
  int channels = 0, rate = 0, bits = 0;
  Bytes data;
};
Recording readRecording(const std::string& path);

}  // namespace speech_test
