// The player's pure parts: how file data is cut into pieces, and the click
// and beep images.
#include <gtest/gtest.h>

#include "speech/feedback_sounds.h"
#include "speech/riff.h"
#include "speech/wave_player.h"

namespace speech {
namespace {

std::vector<size_t> pieces(uint64_t size) {
  std::vector<size_t> out;
  for (uint64_t left = size; left > 0; left -= out.back()) out.push_back(filePieceSize(left));
  return out;
}

TEST(FilePieces, NoLastPieceUnder257Bytes) {
  const struct {
    uint64_t size;
    std::vector<size_t> pieces;
  } cases[] = {
      {0, {}},
      {100, {100}},
      {8192, {8192}},
      {8193, {7936, 257}},
      {8300, {7936, 364}},
      {8447, {7936, 511}},
      {8448, {8192, 256}},
      {16384, {8192, 8192}},
      {16500, {8192, 7936, 372}},
  };
  for (const auto& c : cases) EXPECT_EQ(pieces(c.size), c.pieces) << c.size;
}

TEST(FeedbackSounds, ClickIsAQuarterOfNoiseThenSilence) {
  for (int divisor : {1, 2}) {
    SCOPED_TRACE(divisor);
    const std::vector<uint8_t> image = clickImage(divisor, 12345);
    const std::optional<WaveImage> click = parseWaveImage(image);
    ASSERT_TRUE(click);
    EXPECT_EQ(click->format, (platform::WaveFormat{11025, 1, 8}));
    const size_t n = static_cast<size_t>(256 / divisor);
    ASSERT_EQ(click->data.size(), n);
    bool noise = false;
    for (size_t i = 0; i < n; ++i) {
      if (i < n / 4) {
        EXPECT_GE(click->data[i], 128);
        EXPECT_LE(click->data[i], 187);
        noise = noise || click->data[i] != 128;
      } else {
        EXPECT_EQ(click->data[i], 128) << i;
      }
    }
    EXPECT_TRUE(noise);
  }
  EXPECT_NE(clickImage(1, 1), clickImage(1, 2));
}

TEST(FeedbackSounds, BeepIsATriangleWave) {
  for (int divisor : {1, 2}) {
    SCOPED_TRACE(divisor);
    const std::vector<uint8_t> image = beepImage(divisor);
    const std::optional<WaveImage> beep = parseWaveImage(image);
    ASSERT_TRUE(beep);
    EXPECT_EQ(beep->format, (platform::WaveFormat{11025, 1, 8}));
    ASSERT_EQ(beep->data.size(), static_cast<size_t>(512 / divisor));
    const uint8_t period[8] = {128, 112, 96, 80, 64, 80, 96, 112};
    for (size_t i = 0; i < beep->data.size(); ++i) ASSERT_EQ(beep->data[i], period[i % 8]) << i;
  }
}

}  // namespace
}  // namespace speech
