#include "wave_bytes.h"

#include <fstream>

#include "support/scratch.h"

namespace speech_test {
namespace {

void put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(Bytes& b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}
uint32_t get16(const Bytes& b, size_t at) { return static_cast<uint32_t>(b[at] | b[at + 1] << 8); }
uint32_t get32(const Bytes& b, size_t at) { return get16(b, at) | get16(b, at + 2) << 16; }

}  // namespace

Bytes fmtBody(int tag, int channels, int rate, int bits, size_t size) {
  Bytes b;
  put16(b, static_cast<uint32_t>(tag));
  put16(b, static_cast<uint32_t>(channels));
  put32(b, static_cast<uint32_t>(rate));
  put32(b, static_cast<uint32_t>(rate * channels * bits / 8));
  put16(b, static_cast<uint32_t>(channels * bits / 8));
  put16(b, static_cast<uint32_t>(bits));
  b.resize(size, 0);
  return b;
}

Bytes riff(const std::vector<Chunk>& chunks, const std::string& form) {
  Bytes body{'W', 'A', 'V', 'E'};
  for (const Chunk& c : chunks) {
    body.insert(body.end(), c.tag.begin(), c.tag.end());
    put32(body, c.declared.value_or(static_cast<uint32_t>(c.body.size())));
    body.insert(body.end(), c.body.begin(), c.body.end());
    if (c.pad && c.body.size() % 2 == 1) body.push_back(0);
  }
  Bytes out(form.begin(), form.end());
  put32(out, static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Bytes pcmWave(int channels, int rate, int bits, const Bytes& pcm) {
  return riff({{"fmt ", fmtBody(1, channels, rate, bits)}, {"data", pcm}});
}

Bytes squareWave8(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = i % 20 < 10 ? 156 : 100;
  return b;
}

void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

Recording readRecording(const std::string& path) {
  const std::string text = testsupport::slurp(path);
  const Bytes b(text.begin(), text.end());
  Recording r;
  if (b.size() < 44) return r;
  r.channels = static_cast<int>(get16(b, 22));
  r.rate = static_cast<int>(get32(b, 24));
  r.bits = static_cast<int>(get16(b, 34));
  const size_t size = get32(b, 40);
  r.data.assign(b.begin() + 44, b.begin() + 44 + static_cast<std::ptrdiff_t>(std::min(size, b.size() - 44)));
  return r;
}

}  // namespace speech_test
