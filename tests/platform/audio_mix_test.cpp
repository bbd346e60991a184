// The wave device's mix: exact conversion of 8-bit sound, blocks played one
// after the other with their ends reported, the tone and the sources added
// on top.
#include "platform/audio_mix.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(ConvertPcm, EightBitMapsExactlyOntoTheHighByte) {
  const uint8_t in[] = {0, 1, 127, 128, 129, 255};
  EXPECT_EQ(convertPcm(in, sizeof in, {11025, 1, 8}, 11025, 1),
            (std::vector<int16_t>{-32768, -32512, -256, 0, 256, 32512}));
}

TEST(ConvertPcm, SixteenBitIsLittleEndianAndPartialFramesAreDropped) {
  const uint8_t in[] = {0x34, 0x12, 0xFF, 0xFF, 0x00, 0x80, 0x07};
  EXPECT_EQ(convertPcm(in, sizeof in, {8000, 1, 16}, 8000, 1), (std::vector<int16_t>{0x1234, -1, -32768}));
  EXPECT_EQ(convertPcm(in, sizeof in, {8000, 2, 16}, 8000, 2), (std::vector<int16_t>{0x1234, -1}));
}

// Resampled sound keeps its length and its level, whatever the ratio.
TEST(ConvertPcm, ChangesRateAndChannels) {
  const struct {
    WaveFormat from;
    int rate, channels;
  } cases[] = {{{11025, 1, 8}, 22050, 2}, {{44100, 2, 8}, 11025, 1}, {{16537, 1, 8}, 44100, 2},
               {{192000, 1, 8}, 8000, 1}, {{8000, 2, 8}, 48000, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from.rate);
    const size_t frames = 7000;
    std::vector<uint8_t> in(frames * static_cast<size_t>(c.from.channels), 200);
    const std::vector<int16_t> out = convertPcm(in.data(), in.size(), c.from, c.rate, c.channels);
    EXPECT_EQ(out.size(), frames * static_cast<size_t>(c.rate) / static_cast<size_t>(c.from.rate) *
                              static_cast<size_t>(c.channels));
    EXPECT_NEAR(out[out.size() / 2], 72 * 256, 256);
    EXPECT_NEAR(out[out.size() - out.size() / 10], 72 * 256, 256);
  }
}

Mix stereoMix() {
  Mix m;
  m.rate = 1000;
  m.channels = 2;
  return m;
}

TEST(RenderMix, PlaysBlocksInOrderWithoutGapsAndReportsTheirEnds) {
  Mix m = stereoMix();
  queueMixBlock(m, 7, {1, 1, 2, 2, 3, 3});
  queueMixBlock(m, 8, {4, 4});
  std::vector<int16_t> out(10);
  std::vector<int> done;
  EXPECT_EQ(renderMix(m, out.data(), 2, 100, done), 2u);
  EXPECT_EQ(done, std::vector<int>{});
  EXPECT_EQ(m.times.startedUs, 100);
  EXPECT_EQ(renderMix(m, out.data(), 5, 200, done), 2u);  // then silence
  EXPECT_EQ(out, (std::vector<int16_t>{3, 3, 4, 4, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(done, (std::vector<int>{7, 8}));
  EXPECT_EQ(m.times.silencedUs, 200);
  EXPECT_TRUE(m.blocks.empty());
}

TEST(RenderMix, DroppedBlocksAreReportedAndSilenceIsTimed) {
  Mix m = stereoMix();
  queueMixBlock(m, 1, std::vector<int16_t>(100, 5));
  queueMixBlock(m, 2, std::vector<int16_t>(100, 5));
  std::vector<int16_t> out(20);
  std::vector<int> done;
  renderMix(m, out.data(), 10, 10, done);
  EXPECT_EQ(dropMixBlocks(m), (std::vector<int>{1, 2}));
  EXPECT_EQ(renderMix(m, out.data(), 10, 20, done), 0u);
  EXPECT_EQ(m.times.silencedUs, 20);
  EXPECT_EQ(done, std::vector<int>{});
}

TEST(RenderMix, AddsTheToneAndClips) {
  Mix m = stereoMix();
  queueMixBlock(m, 1, {30000, -30000, 100, 100});
  m.tone = {10000, -10000};
  m.toneLoops = true;
  std::vector<int16_t> out(8);
  std::vector<int> done;
  EXPECT_EQ(renderMix(m, out.data(), 4, 0, done), 4u);  // the looping tone goes on
  EXPECT_EQ(out, (std::vector<int16_t>{32767, -32768, 10100, -9900, 10000, -10000, 10000, -10000}));

  m.tone = {1, 1, 2, 2};
  m.tonePos = 0;
  m.toneLoops = false;
  EXPECT_EQ(renderMix(m, out.data(), 4, 0, done), 2u);  // a tone played once ends
  EXPECT_TRUE(m.tone.empty());
}

// A source that plays `left` frames of one value, then ends.
struct Steady final : AudioSource {
  Steady(int16_t v, size_t n) : value(v), left(n) {}
  size_t mix(int16_t* out, size_t frames, int, int channels) override {
    const size_t n = std::min(frames, left);
    std::fill(out, out + n * static_cast<size_t>(channels), value);
    left -= n;
    return n;
  }
  int16_t value;
  size_t left;
};

TEST(RenderMix, SourcesPlayBesideTheBlocksUntilTheyEnd) {
  Mix m = stereoMix();
  const int loud = addMixSource(m, std::make_shared<Steady>(30000, 100));
  const int brief = addMixSource(m, std::make_shared<Steady>(-3000, 1));
  queueMixBlock(m, 1, {5000, 5000});
  std::vector<int16_t> out(6);
  std::vector<int> done;
  EXPECT_EQ(renderMix(m, out.data(), 3, 0, done), 3u);
  EXPECT_EQ(out, (std::vector<int16_t>{32000, 32000, 30000, 30000, 30000, 30000}));  // clipped only after the sum
  EXPECT_FALSE(mixSourcePlaying(m, brief));  // it ended within the frames asked
  EXPECT_TRUE(mixSourcePlaying(m, loud));

  dropMixBlocks(m);  // stopping the wave voice leaves sources playing
  EXPECT_EQ(renderMix(m, out.data(), 3, 0, done), 3u);
  EXPECT_NE(removeMixSource(m, loud), nullptr);
  EXPECT_EQ(removeMixSource(m, loud), nullptr);
  EXPECT_EQ(renderMix(m, out.data(), 3, 0, done), 0u);
  EXPECT_EQ(out, std::vector<int16_t>(6, 0));
}

}  // namespace
}  // namespace platform
