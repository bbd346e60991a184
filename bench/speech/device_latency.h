// What the speech benchmarks share: a test tone, the device's clock read
// while the program runs, a key stopping what plays, and medians.
#pragma once
#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

#include "console/keyboard.h"
#include "console/screen.h"
#include "platform/audio_device.h"
#include "platform/base/wave_header.h"
#include "platform/platform.h"
#include "speech/speech_activity.h"

namespace bench {

// A square wave of `ms`, 8-bit mono at 11025 Hz, as a wave image.
inline std::vector<uint8_t> tone(int ms) {
  const size_t n = static_cast<size_t>(11025 * ms / 1000);
  std::vector<uint8_t> image(platform::kWaveHeaderSize + n);
  platform::writeWaveHeader(image.data(), 1, 11025, 8, static_cast<uint32_t>(n));
  for (size_t i = 0; i < n; ++i) image[platform::kWaveHeaderSize + i] = i % 25 < 12 ? 170 : 86;
  return image;
}

// Waits, busily, until the device's clock passes t0 in one of its times.
inline int64_t deviceTimeAfter(int64_t t0, int64_t platform::AudioTimes::*field) {
  const uint64_t giveUp = platform::nowMs() + 2000;
  for (;;) {
    const int64_t t = platform::backend().audio().times().*field;
    if (t >= t0 || platform::nowMs() > giveUp) return t;
    std::this_thread::yield();
  }
}

// With sound playing: a moment that varies with the trial, then a key, and
// the milliseconds until the device fell silent. The key is read after.
inline double keyToSilenceMs(int trial) {
  const uint64_t until = platform::nowMs() + 30 + static_cast<uint64_t>((trial * 7) % 23);
  while (platform::nowMs() < until) console::waitMessage(1);
  const int64_t t1 = platform::clockUs();
  console::pushKey(' ');
  speech::isSpeaking();  // the check every waiting loop makes next
  const double ms = static_cast<double>(deviceTimeAfter(t1, &platform::AudioTimes::silencedUs) - t1) / 1000;
  console::readKey();
  return ms;
}

inline double median(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace bench
