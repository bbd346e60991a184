#include "speech/feedback_sounds.h"

#include <random>

#include "platform/base/wave_header.h"

namespace speech {
namespace {

constexpr int kRate = 11025;

std::vector<uint8_t> monoImage(size_t samples) {
  std::vector<uint8_t> image(platform::kWaveHeaderSize + samples, 128);
  platform::writeWaveHeader(image.data(), 1, kRate, 8, static_cast<uint32_t>(samples));
  return image;
}

}  // namespace

std::vector<uint8_t> clickImage(int divisor, uint32_t seed) {
  const size_t samples = static_cast<size_t>(256 / divisor);
  std::vector<uint8_t> image = monoImage(samples);
  std::minstd_rand random(seed);
  std::uniform_int_distribution<int> noise(0, 59);
  for (size_t i = 0; i < samples / 4; ++i) image[platform::kWaveHeaderSize + i] = static_cast<uint8_t>(128 + noise(random));
  return image;
}

std::vector<uint8_t> beepImage(int divisor) {
  static constexpr uint8_t kTriangle[8] = {128, 112, 96, 80, 64, 80, 96, 112};
  const size_t samples = static_cast<size_t>(512 / divisor);
  std::vector<uint8_t> image = monoImage(samples);
  for (size_t i = 0; i < samples; ++i) image[platform::kWaveHeaderSize + i] = kTriangle[i % 8];
  return image;
}

}  // namespace speech
