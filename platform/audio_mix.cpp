#include "platform/audio_mix.h"
#include "platform/clock.h"
#include "platform/sdl_module.h"

#include <algorithm>
#include <chrono>

namespace platform {

bool playableFormat(const WaveFormat& f) {
  return (f.bits == 8 || f.bits == 16) && (f.channels == 1 || f.channels == 2) && f.rate >= 1000 &&
         f.rate <= 384000;
}

std::vector<int16_t> convertPcm(const uint8_t* data, size_t size, const WaveFormat& from, int rate, int channels) {
  const size_t bytes = static_cast<size_t>(from.bits / 8);
  const size_t frames = size / (bytes * static_cast<size_t>(from.channels));
  std::vector<int16_t> s(frames * static_cast<size_t>(from.channels));
  for (size_t i = 0; i < s.size(); ++i) {
    s[i] = bytes == 1 ? static_cast<int16_t>((data[i] - 128) * 256)
                      : static_cast<int16_t>(data[2 * i] | data[2 * i + 1] << 8);
  }
  if ((from.rate == rate && from.channels == channels) || s.empty()) return s;
  std::vector<int16_t> out = resampleThroughSdl(std::move(s), from, rate, channels);
  out.resize(static_cast<size_t>(static_cast<uint64_t>(frames) * static_cast<uint64_t>(rate) /
                                 static_cast<uint64_t>(from.rate)) *
                 static_cast<size_t>(channels),
             0);
  return out;
}

bool toneSamples(const std::vector<uint8_t>& image, WaveFormat& format, const uint8_t*& data, size_t& size) {
  if (image.size() <= kWaveHeaderSize) return false;
  auto u16 = [&](size_t at) { return static_cast<uint32_t>(image[at] | image[at + 1] << 8); };
  format = WaveFormat{static_cast<int>(u16(24) | u16(26) << 16), static_cast<int>(u16(22)), static_cast<int>(u16(34))};
  data = image.data() + kWaveHeaderSize;
  size = std::min<size_t>(u16(40) | u16(42) << 16, image.size() - kWaveHeaderSize);
  return playableFormat(format);
}

void queueMixBlock(Mix& mix, int tag, std::vector<int16_t> samples) {
  if (mix.blocks.empty()) mix.startPending = true;
  mix.blocks.push_back(MixBlock{tag, std::move(samples), 0});
}

std::vector<int> dropMixBlocks(Mix& mix) {
  std::vector<int> tags;
  for (const MixBlock& b : mix.blocks) tags.push_back(b.tag);
  mix.blocks.clear();
  mix.startPending = false;
  if (!tags.empty()) mix.silencePending = true;
  return tags;
}

size_t renderMix(Mix& mix, int16_t* out, size_t frames, int64_t nowUs, std::vector<int>& done) {
  const size_t ch = static_cast<size_t>(mix.channels);
  std::fill(out, out + frames * ch, int16_t{0});
  size_t wave = 0;
  while (wave < frames && !mix.blocks.empty()) {
    MixBlock& b = mix.blocks.front();
    const size_t n = std::min((b.samples.size() - b.pos) / ch, frames - wave);
    std::copy_n(b.samples.begin() + static_cast<ptrdiff_t>(b.pos), n * ch, out + wave * ch);
    b.pos += n * ch;
    wave += n;
    if ((b.samples.size() - b.pos) / ch == 0) {
      done.push_back(b.tag);
      mix.blocks.pop_front();
      if (mix.blocks.empty()) mix.silencePending = true;
    }
  }
  if (wave > 0 && mix.startPending) {
    mix.times.startedUs = nowUs;
    mix.startPending = false;
  }
  if (mix.silencePending && mix.blocks.empty()) {
    mix.times.silencedUs = nowUs;
    mix.silencePending = false;
  }
  size_t tone = 0;
  for (; tone < frames && !mix.tone.empty(); ++tone) {
    for (size_t c = 0; c < ch; ++c) {
      const int sum = out[tone * ch + c] + mix.tone[mix.tonePos++];
      out[tone * ch + c] = static_cast<int16_t>(std::clamp(sum, -32768, 32767));
    }
    if (mix.tonePos >= mix.tone.size()) {
      mix.tonePos = 0;
      if (!mix.toneLoops) mix.tone.clear();
    }
  }
  return std::max(wave, tone);
}


}  // namespace platform
