#include "speech/diphone/pitch_marks.h"

#include <algorithm>
#include <cstdlib>

namespace speech {
namespace {

// Peaks nearer the centre than this are breath or silence, not a period.
constexpr int kVoicedPeak = 10;

}  // namespace

size_t periodStart(std::span<const uint8_t> sound, size_t from, size_t to, size_t longest) {
  to = std::min(to, sound.size());
  if (from + 1 >= to) return to;
  const size_t peak = static_cast<size_t>(std::max_element(sound.begin() + from, sound.begin() + to) - sound.begin());
  if (sound[peak] - 128 < kVoicedPeak) return to;
  for (size_t i = peak; i > 0 && peak - i < longest; --i)
    if (sound[i - 1] < 128 && sound[i] >= 128) return i;
  return to;
}

size_t voicedEnd(std::span<const uint8_t> sound) {
  if (sound.size() < kLongestPeriod) return sound.size();
  return periodStart(sound, sound.size() - kLongestPeriod, sound.size());
}

// The peak of the next period lies about a period after the last one's, so
// the search starts three quarters of a period on; a crossing found too near
// the last mark is that period's own, and the next mark goes a period on.
std::vector<size_t> periodMarks(std::span<const uint8_t> sound, size_t period) {
  std::vector<size_t> marks;
  if (period == 0) return marks;
  const size_t first = periodStart(sound, 0, period, period);
  for (size_t mark = first < period ? first : 0; mark < sound.size();) {
    marks.push_back(mark);
    const size_t from = mark + period * 3 / 4, to = from + period;
    const size_t next = periodStart(sound, from, to, period + period / 2);
    mark = next < to && next > mark + period / 2 ? next : mark + period;
  }
  return marks;
}

}  // namespace speech
