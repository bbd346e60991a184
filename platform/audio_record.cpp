#include "platform/audio_record.h"

#include <cstdio>
#include <vector>

#include "platform/audio_mix.h"
#include "platform/base/wave_header.h"
#include "platform/output_file.h"

namespace platform {
namespace {

constexpr uint32_t kMaxData = 0xFFFFFFFFu - 36;

struct Record {
  FILE* file = nullptr;
  std::string path;
  WaveFormat format;  // rate 0 until the first sound
  uint32_t dataSize = 0;
};

Record g;

void writeHeader() {
  uint8_t header[kWaveHeaderSize];
  const WaveFormat f = g.format.rate ? g.format : WaveFormat{11025, 1, 8};
  writeWaveHeader(header, f.channels, f.rate, f.bits, g.dataSize);
  std::fseek(g.file, 0, SEEK_SET);
  std::fwrite(header, 1, sizeof header, g.file);
  std::fseek(g.file, 0, SEEK_END);
  if (std::fflush(g.file) != 0 || std::ferror(g.file)) {
    outputFailed("the sound recording " + g.path);
    std::fclose(g.file);
    g.file = nullptr;
  }
}

}  // namespace

bool openAudioRecord(const std::string& path) {
  g.file = std::fopen(path.c_str(), "wb");
  if (!g.file) return false;
  g.path = path;
  writeHeader();
  return true;
}

bool audioRecordOpen() { return g.file != nullptr; }

void recordAudio(const int16_t* samples, size_t frames, int rate, int channels, int bits) {
  if (!g.file || frames == 0) return;
  if (!g.format.rate) g.format = WaveFormat{rate, channels, bits == 8 ? 8 : 16};
  std::vector<int16_t> converted;
  size_t count = frames * static_cast<size_t>(channels);
  if (rate != g.format.rate || channels != g.format.channels) {
    converted = convertPcm(reinterpret_cast<const uint8_t*>(samples), count * 2, WaveFormat{rate, channels, 16},
                           g.format.rate, g.format.channels);
    samples = converted.data();
    count = converted.size();
  }
  std::vector<uint8_t> bytes;
  bytes.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    const auto s = static_cast<uint16_t>(samples[i]);
    if (g.format.bits == 8) {
      bytes.push_back(static_cast<uint8_t>((s >> 8) ^ 0x80));
    } else {
      bytes.push_back(static_cast<uint8_t>(s));
      bytes.push_back(static_cast<uint8_t>(s >> 8));
    }
  }
  if (bytes.size() > kMaxData - g.dataSize) return;  // a WAV file ends at 4 GB
  std::fwrite(bytes.data(), 1, bytes.size(), g.file);
  g.dataSize += static_cast<uint32_t>(bytes.size());
  writeHeader();
}

}  // namespace platform
