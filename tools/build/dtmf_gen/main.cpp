// dtmf_gen: the touch tones the dial-string reader plays, as real dual tones
// in the letter-file directory: dtmf_0 ... dtmf_9, dtmf_X (star), dtmf_#.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/base/paths.h"
#include "platform/base/wave_header.h"

namespace {

constexpr int kRate = 11025;
constexpr int kLengthMs = 150;
constexpr int kFadeSamples = 55;  // 5 ms, so the tone starts and ends without a click

struct Tone {
  const char* key;
  double low, high;
};

constexpr Tone kTones[] = {{"1", 697, 1209}, {"2", 697, 1336}, {"3", 697, 1477}, {"4", 770, 1209},
                           {"5", 770, 1336}, {"6", 770, 1477}, {"7", 852, 1209}, {"8", 852, 1336},
                           {"9", 852, 1477}, {"X", 941, 1209}, {"0", 941, 1336}, {"#", 941, 1477}};

std::string toneImage(const Tone& t) {
  const int n = kRate * kLengthMs / 1000;
  std::vector<uint8_t> image(platform::kWaveHeaderSize + static_cast<size_t>(n));
  platform::writeWaveHeader(image.data(), 1, kRate, 8, static_cast<uint32_t>(n));
  const double pi = std::acos(-1.0);
  for (int i = 0; i < n; ++i) {
    const double edge = std::min({1.0, i / double(kFadeSamples), (n - 1 - i) / double(kFadeSamples)});
    const double v = 0.45 * edge * (std::sin(2 * pi * t.low * i / kRate) + std::sin(2 * pi * t.high * i / kRate));
    image[platform::kWaveHeaderSize + static_cast<size_t>(i)] = static_cast<uint8_t>(std::lround(128 + 127 * v));
  }
  return std::string(image.begin(), image.end());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "uso: dtmf_gen DIR_LETRAS\n");
    return 2;
  }
  const std::string dir = argv[1];
  if (!platform::makeDirectories(dir)) return 1;
  for (const Tone& t : kTones) {
    if (!platform::replaceFileAtomically(dir + "/dtmf_" + t.key + ".wav", toneImage(t))) {
      std::fprintf(stderr, "dtmf_gen: n\xC3\xA3o gravei dtmf_%s.wav em %s\n", t.key, dir.c_str());
      return 1;
    }
  }
  return 0;
}
