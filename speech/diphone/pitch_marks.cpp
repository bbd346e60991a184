#include "speech/diphone/pitch_marks.h"

#include <algorithm>
#include <cstdlib>

namespace speech {
namespace {

// Peaks nearer the centre than this are breath or silence, not a period.
constexpr int kVoicedPeak = 10;

}  // namespace

size_t periodStart(std::span<const uint8_t> sound, size_t from, size_t to) {
  to = std::min(to, sound.size());
  if (from + 1 >= to) return to;
  const size_t peak = static_cast<size_t>(std::max_element(sound.begin() + from, sound.begin() + to) - sound.begin());
  if (sound[peak] - 128 < kVoicedPeak) return to;
  for (size_t i = peak; i > 0 && peak - i < kLongestPeriod; --i)
    if (sound[i - 1] < 128 && sound[i] >= 128) return i;
  return to;
}

size_t voicedEnd(std::span<const uint8_t> sound) {
  if (sound.size() < kLongestPeriod) return sound.size();
  return periodStart(sound, sound.size() - kLongestPeriod, sound.size());
}

}  // namespace speech
