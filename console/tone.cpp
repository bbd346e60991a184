#include "console/tone.h"

#include "console/screen.h"
#include "platform/base/wave_header.h"
#include "platform/platform.h"
#include "platform/transcript.h"

namespace console {
namespace {
constexpr int kRate = 11025;
constexpr int kBuffer = 11071;
}

std::vector<uint8_t> toneImage(int frequency) {
  std::vector<uint8_t> image(kBuffer, 128);
  const int f = std::max(frequency, 1);
  const int period = kRate / f;
  int k = 0;
  int start = 44;
  for (; start <= kRate - period; start = 44 + static_cast<int>(static_cast<int64_t>(++k) * kRate / f)) {
    int at = start;
    for (int i = 0; i < period / 2 + 1; ++i) image[static_cast<size_t>(at++)] = 96;
    for (int i = 0; i < period - period / 2 + 1; ++i) image[static_cast<size_t>(at++)] = 160;
  }
  image[static_cast<size_t>(start - 1)] = 128;
  const auto dataSize = static_cast<uint32_t>(start - 44);
  platform::writeWaveHeader(image.data(), 1, kRate, 8, dataSize);
  image.resize(44 + dataSize);
  return image;
}

void toneOn(int frequency) {
  ensureConsole();
  if (frequency < 1 || frequency > 65535) return;
  platform::backend().playTone(toneImage(frequency), true);
}

void toneOff() { platform::backend().stopTone(); }

void bell() {
  std::vector<uint8_t> image = toneImage(880);
  constexpr uint32_t kTenthOfSecond = kRate / 10;
  if (image.size() > 44 + kTenthOfSecond) {
    image.resize(44 + kTenthOfSecond);
    platform::writeWaveHeader(image.data(), 1, kRate, 8, kTenthOfSecond);
  }
  platform::transcriptEvent("BEEP", "");
  platform::backend().playTone(std::move(image), false);
}

}  // namespace console
