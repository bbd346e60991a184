// Hearing rendered speech in tests: its pitch and where it is noise or quiet.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace testsupport {

// The fundamental frequency around `centre` (Hz), from the autocorrelation of
// 40 ms: the shortest lag that comes within 90 % of the best, so that a
// period is not mistaken for two; 0 where there is no sound.
inline double fundamentalAt(std::span<const int16_t> s, size_t centre, int rate, double lowest = 60,
                            double highest = 400) {
  const size_t half = static_cast<size_t>(rate) / 50;
  if (centre < half || centre + half > s.size()) return 0;
  const size_t from = centre - half, length = 2 * half;
  const size_t shortest = static_cast<size_t>(rate / highest), longest = static_cast<size_t>(rate / lowest);
  std::vector<double> r(longest + 2, 0.0);
  for (size_t lag = 0; lag <= longest + 1 && lag < length; ++lag) {
    double sum = 0;
    for (size_t i = from; i + lag < from + length; ++i) sum += static_cast<double>(s[i]) * s[i + lag];
    r[lag] = sum / static_cast<double>(length - lag);
  }
  if (r[0] <= 0) return 0;
  const double best =
      *std::max_element(r.begin() + static_cast<long>(shortest), r.begin() + static_cast<long>(longest));
  for (size_t lag = shortest; lag <= longest; ++lag) {
    if (r[lag] < 0.9 * best || r[lag] < r[lag - 1] || r[lag] < r[lag + 1]) continue;
    const double bend = r[lag - 1] - 2 * r[lag] + r[lag + 1];
    const double shift = bend != 0 ? 0.5 * (r[lag - 1] - r[lag + 1]) / bend : 0;
    return rate / (static_cast<double>(lag) + shift);
  }
  return 0;
}

// Root mean square of [from, to).
inline double loudnessOf(std::span<const int16_t> s, size_t from, size_t to) {
  to = std::min(to, s.size());
  if (from >= to) return 0;
  double sum = 0;
  for (size_t i = from; i < to; ++i) sum += static_cast<double>(s[i]) * s[i];
  return std::sqrt(sum / static_cast<double>(to - from));
}

// Sign changes per sample in [from, to): high in noise (s, f, x), low in vowels.
inline double crossingRate(std::span<const int16_t> s, size_t from, size_t to) {
  to = std::min(to, s.size());
  if (from + 1 >= to) return 0;
  size_t n = 0;
  for (size_t i = from + 1; i < to; ++i) n += (s[i - 1] < 0) != (s[i] < 0);
  return static_cast<double>(n) / static_cast<double>(to - from);
}

}  // namespace testsupport
