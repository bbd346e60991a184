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

int addMixSource(Mix& mix, std::shared_ptr<AudioSource> source) {
  mix.sources.push_back(MixSource{++mix.lastSourceId, std::move(source)});
  return mix.lastSourceId;
}

std::shared_ptr<AudioSource> removeMixSource(Mix& mix, int id) {
  const auto it = std::find_if(mix.sources.begin(), mix.sources.end(), [id](const MixSource& s) { return s.id == id; });
  if (it == mix.sources.end()) return nullptr;
  std::shared_ptr<AudioSource> source = std::move(it->source);
  mix.sources.erase(it);
  return source;
}

bool mixSourcePlaying(const Mix& mix, int id) {
  return std::any_of(mix.sources.begin(), mix.sources.end(), [id](const MixSource& s) { return s.id == id; });
}

namespace {

// Adds every source into the sum; those that end leave the mix. How many
// frames carry sound.
size_t addSources(Mix& mix, size_t frames) {
  const size_t count = frames * static_cast<size_t>(mix.channels);
  size_t sound = 0;
  for (size_t i = 0; i < mix.sources.size();) {
    mix.scratch.assign(count, 0);
    const size_t n = std::min(frames, mix.sources[i].source->mix(mix.scratch.data(), frames, mix.rate, mix.channels));
    for (size_t k = 0; k < n * static_cast<size_t>(mix.channels); ++k) mix.sum[k] += mix.scratch[k];
    sound = std::max(sound, n);
    if (n < frames) {
      mix.sources.erase(mix.sources.begin() + static_cast<ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
  return sound;
}

}  // namespace

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
  if (mix.tone.empty() && mix.sources.empty()) return wave;
  // The other voices are summed wide and clipped once, so that the order in
  // which they are added cannot change the result.
  mix.sum.assign(out, out + frames * ch);
  size_t tone = 0;
  for (; tone < frames && !mix.tone.empty(); ++tone) {
    for (size_t c = 0; c < ch; ++c) mix.sum[tone * ch + c] += mix.tone[mix.tonePos++];
    if (mix.tonePos >= mix.tone.size()) {
      mix.tonePos = 0;
      if (!mix.toneLoops) mix.tone.clear();
    }
  }
  const size_t sourced = addSources(mix, frames);
  for (size_t k = 0; k < frames * ch; ++k) out[k] = static_cast<int16_t>(std::clamp(mix.sum[k], -32768, 32767));
  return std::max({wave, tone, sourced});
}

}  // namespace platform
