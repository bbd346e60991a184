#include "speech/pitch_cut.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace speech {

size_t cutPitchPeriods(uint8_t* buffer, size_t length, int bits, int rate) {
  if (bits == 16) {
    length /= 2;
    for (size_t i = 0; i < length; ++i) buffer[i] = buffer[2 * i + 1] ^ 0x80;
  }
  if (length < 1000) return length;
  const size_t scale = rate == 11025 ? 1 : 4;
  const size_t start = 200 * scale, step = 80 * scale, window = 50 * scale;
  // The first position of the largest sample in [from, to]; where nothing
  // is above the first, the first, so that each period moves on.
  auto peak = [&](size_t from, size_t to) {
    to = std::min(to, length - 1);
    size_t best = from;
    for (size_t i = from + 1; i <= to; ++i) {
      if (buffer[i] > buffer[best]) best = i;
    }
    return best;
  };
  size_t p = peak(start, start + step + window);
  size_t w = p;
  while (p + 2 * (step + window) < length) {
    const size_t a = peak(p + step, p + step + window);
    const size_t b = peak(a + step, a + step + window);
    std::memmove(buffer + w, buffer + a, b - a + 1);  // the period from p to a is dropped
    w += b - a + 1;
    p = b;
  }
  // Finish the period under way until the sound is near silence.
  while (p < length && std::abs(buffer[w] - 128) > 20) buffer[w++] = buffer[p++];
  return w;
}

}  // namespace speech
