#include "tools/build/espeak_said/sound_shaping.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>


namespace espeak_said {
namespace {

// Windowed-sinc low-pass at `cutoff` (a fraction of the rate), 63 taps.
std::vector<float> lowPass(const std::vector<int16_t>& in, double cutoff) {
  constexpr int kTaps = 63, kHalf = kTaps / 2;
  std::vector<double> taps(kTaps);
  double sum = 0;
  for (int i = 0; i < kTaps; ++i) {
    const double x = i - kHalf;
    const double sinc = x == 0 ? 2 * cutoff : std::sin(2 * std::numbers::pi * cutoff * x) / (std::numbers::pi * x);
    const double blackman = 0.42 - 0.5 * std::cos(2 * std::numbers::pi * i / (kTaps - 1)) +
                            0.08 * std::cos(4 * std::numbers::pi * i / (kTaps - 1));
    taps[i] = sinc * blackman;
    sum += taps[i];
  }
  std::vector<float> out(in.size());
  for (size_t n = 0; n < in.size(); ++n) {
    double acc = 0;
    for (int k = 0; k < kTaps; ++k) {
      const long j = static_cast<long>(n) + k - kHalf;
      if (j >= 0 && j < static_cast<long>(in.size())) acc += taps[k] * in[j];
    }
    out[n] = static_cast<float>(acc / sum / 32768.0);
  }
  return out;
}

}  // namespace

std::vector<float> toVoiceRate(const std::vector<int16_t>& samples, int rate, int voiceRate) {
  if (samples.empty() || rate <= 0 || voiceRate <= 0) return {};
  const std::vector<float> smooth = lowPass(samples, 0.45 * voiceRate / std::max(rate, voiceRate));
  const double step = static_cast<double>(rate) / voiceRate;
  std::vector<float> out;
  for (double t = 0; t + 1 < static_cast<double>(smooth.size()); t += step) {
    const size_t i = static_cast<size_t>(t);
    const float frac = static_cast<float>(t - static_cast<double>(i));
    out.push_back(smooth[i] * (1 - frac) + smooth[i + 1] * frac);
  }
  return out;
}

float loudness(const std::vector<float>& sound, int rate) {
  const size_t window = static_cast<size_t>(std::max(rate, 50)) / 50;
  double sum = 0, best = 0;
  for (size_t i = 0; i < sound.size(); ++i) {
    sum += sound[i] * sound[i];
    if (i >= window) sum -= sound[i - window] * sound[i - window];
    best = std::max(best, sum);
  }
  return static_cast<float>(std::sqrt(best / static_cast<double>(std::min(window, std::max<size_t>(sound.size(), 1)))));
}

std::vector<uint8_t> toUnsigned8(const std::vector<float>& sound, float gain) {
  float peak = 0;
  for (const float s : sound) peak = std::max(peak, std::fabs(s));
  if (peak * gain > 0.97f) gain = 0.97f / peak;
  // Triangular dither of one step: rounding alone leaves the quiet tails of
  // every unit with a buzz that follows the signal; digital silence stays.
  std::minstd_rand random(1);
  std::uniform_real_distribution<float> step(-0.5f, 0.5f);
  std::vector<uint8_t> out(sound.size());
  for (size_t i = 0; i < sound.size(); ++i) {
    const float dither = sound[i] == 0 ? 0 : step(random) + step(random);
    out[i] = static_cast<uint8_t>(std::clamp(std::lround(128 + sound[i] * gain * 127 + dither), 0L, 255L));
  }
  return out;
}

}  // namespace espeak_said
