// Pitch-period cutting: short pieces untouched, 16-bit turned to 8-bit, the
// periods kept and dropped where the peaks say, and no run past the end.
#include "speech/pitch_cut.h"

#include <gtest/gtest.h>

#include <vector>

namespace speech {
namespace {

using Bytes = std::vector<uint8_t>;

// Silence with a peak every `period` samples, the first at 0.
Bytes pulses(size_t n, size_t period) {
  Bytes b(n, 128);
  for (size_t i = 0; i < n; i += period) b[i] = 200;
  return b;
}

std::vector<size_t> peaks(const Bytes& b, size_t length) {
  std::vector<size_t> at;
  for (size_t i = 0; i < length; ++i) {
    if (b[i] == 200) at.push_back(i);
  }
  return at;
}

TEST(PitchCut, PiecesUnder1000SamplesStayWhole) {
  Bytes eight = pulses(999, 100);
  const Bytes before = eight;
  EXPECT_EQ(cutPitchPeriods(eight.data(), eight.size(), 8, 11025), 999u);
  EXPECT_EQ(eight, before);

  // 16-bit: only the high byte is kept, made unsigned; still not cut.
  Bytes sixteen;
  for (int i = 0; i < 999; ++i) {
    const auto s = static_cast<uint16_t>(static_cast<int16_t>((i % 7 - 3) * 4000 + 17));
    sixteen.push_back(static_cast<uint8_t>(s));
    sixteen.push_back(static_cast<uint8_t>(s >> 8));
  }
  const Bytes original = sixteen;
  ASSERT_EQ(cutPitchPeriods(sixteen.data(), sixteen.size(), 16, 11025), 999u);
  for (size_t i = 0; i < 999; ++i) ASSERT_EQ(sixteen[i], original[2 * i + 1] ^ 0x80) << i;
}

// Peaks every 100 samples at 11025 Hz: the first 200 samples stay, then the
// periods 300-400, 500-600, 700-800 and 900-1000 are kept (both ends), and
// the ones between dropped. The sample at the write position is silent, so
// no tail follows.
TEST(PitchCut, KeepsEveryOtherPeriodBetweenPeaks) {
  Bytes b = pulses(1200, 100);
  const size_t length = cutPitchPeriods(b.data(), b.size(), 8, 11025);
  EXPECT_EQ(length, 604u);
  EXPECT_EQ(peaks(b, length), (std::vector<size_t>{0, 100, 200, 300, 301, 401, 402, 502, 503, 603}));
}

// After the last period the tail copies on while the sample at the write
// position is loud, finishing the period under way.
TEST(PitchCut, TailRunsToNearSilence) {
  Bytes b = pulses(1200, 100);
  for (size_t i = 604; i < 610; ++i) b[i] = 60;  // loud, where the tail will write
  const size_t length = cutPitchPeriods(b.data(), b.size(), 8, 11025);
  // From p = 1000 on, samples are copied to 604.. for as long as the byte
  // found at the write position (not the one copied) is loud.
  EXPECT_EQ(length, 610u);
  EXPECT_EQ(peaks(b, length).back(), 604u);  // the peak at 1000
  EXPECT_EQ(b[609], 128);
}

// Sound with no peak at all (every sample equal, or every one zero, as from
// 16-bit sound at full negative swing) still moves on and ends.
TEST(PitchCut, FlatSoundEndsAndHalves) {
  for (uint8_t value : {uint8_t{0}, uint8_t{128}, uint8_t{255}}) {
    SCOPED_TRACE(int{value});
    Bytes b(8192, value);
    const size_t length = cutPitchPeriods(b.data(), b.size(), 8, 11025);
    EXPECT_LE(length, b.size());
    if (value == 128) {
      EXPECT_LT(length, b.size() * 6 / 10);
    }
  }
}

// Other rates search four times as far; pieces just over 1000 samples must
// not be searched past their end (the sanitizers watch this).
TEST(PitchCut, OtherRatesStayInsideShortPieces) {
  for (size_t n : {1000u, 1100u, 1320u, 1600u, 8192u}) {
    SCOPED_TRACE(n);
    std::vector<uint8_t> heap(pulses(n, 180));
    const size_t length = cutPitchPeriods(heap.data(), heap.size(), 8, 22050);
    EXPECT_GE(length, 800u);
    EXPECT_LE(length, n);
  }
}

}  // namespace
}  // namespace speech
