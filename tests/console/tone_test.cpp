#include "console/tone.h"

#include <gtest/gtest.h>

namespace {

uint32_t u32(const std::vector<uint8_t>& v, size_t at) {
  return v[at] | v[at + 1] << 8 | v[at + 2] << 16 | static_cast<uint32_t>(v[at + 3]) << 24;
}

TEST(ToneImage, IsOneSecondOfSquareWaveCutAtAWholePeriod) {
  struct Case {
    int frequency;
    uint32_t dataSize;
  } cases[] = {
      {440, 10974},  // periods of 25 samples starting every 25.06: the 438th no longer fits
      {1000, 10980},
      {11025, 10981},
      {1, 0},        // a period longer than the buffer: nothing but the header
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> img = console::toneImage(c.frequency);
    ASSERT_EQ(img.size(), 44 + c.dataSize) << c.frequency;
    EXPECT_EQ(std::string(img.begin(), img.begin() + 4), "RIFF");
    EXPECT_EQ(u32(img, 4), c.dataSize + 36);
    EXPECT_EQ(u32(img, 24), 11025u);
    EXPECT_EQ(img[34], 8);
    EXPECT_EQ(u32(img, 40), c.dataSize);
    if (c.dataSize) {
      EXPECT_EQ(img.back(), 128) << c.frequency;
    }
  }
}

TEST(ToneImage, PeriodsAreLowThenHighAndOverlap) {
  const std::vector<uint8_t> img = console::toneImage(1000);  // 11 samples a period
  const uint8_t first[] = {96, 96, 96, 96, 96, 96, 160, 160, 160, 160, 160, 96};
  for (size_t i = 0; i < sizeof first; ++i) EXPECT_EQ(img[44 + i], first[i]) << i;
  for (size_t i = 44; i + 1 < img.size(); ++i) ASSERT_TRUE(img[i] == 96 || img[i] == 160) << i;
}

}  // namespace
