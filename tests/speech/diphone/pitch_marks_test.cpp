// Period marks: where voiced stretches are cut and joined.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "speech/diphone/pitch_marks.h"

namespace speech {
namespace {

// A tone of `period` samples around the centre: it rises through 128 at
// every multiple of the period and peaks a quarter period later.
std::vector<uint8_t> tone(size_t length, int amplitude, double period = 100) {
  std::vector<uint8_t> s(length);
  for (size_t i = 0; i < length; ++i)
    s[i] = static_cast<uint8_t>(std::lround(128 + amplitude * std::sin(2 * std::numbers::pi * (static_cast<double>(i) + 0.5) / period)));
  return s;
}

TEST(PitchMarks, APeriodStartsWhereTheSoundRisesBeforeItsPeak) {
  const std::vector<uint8_t> voiced = tone(1000, 60), quiet = tone(1000, 5);
  const std::vector<uint8_t> level(1000, 200);
  const struct {
    const char* what;
    const std::vector<uint8_t>& sound;
    size_t from, to, mark;
  } cases[] = {
      {"the peak at 225 rose at 200", voiced, 130, 230, 200},
      {"the peak at 125 rose at 100", voiced, 100, 158, 100},
      {"too quiet to be voiced", quiet, 130, 230, 230},
      {"no crossing at all", level, 130, 230, 230},
      {"an empty stretch", voiced, 500, 500, 500},
      {"past the end", voiced, 990, 2000, 1000},
  };
  for (const auto& c : cases) EXPECT_EQ(periodStart(c.sound, c.from, c.to), c.mark) << c.what;
}

TEST(PitchMarks, AStretchCutShortEndsAtItsLastPeriodWhenVoiced) {
  EXPECT_EQ(voicedEnd(tone(1000, 60)), 900u);
  EXPECT_EQ(voicedEnd(tone(1000, 60, 150)), 900u);        // a longer period
  EXPECT_EQ(voicedEnd(tone(1000, 5)), 1000u);              // breath: where it was cut
  EXPECT_EQ(voicedEnd(std::vector<uint8_t>(1000, 200)), 1000u);
  EXPECT_EQ(voicedEnd(tone(100, 60)), 100u);               // shorter than a period
}

TEST(PitchMarks, EveryPeriodOfAVoiceOnOnePitchIsMarkedAndQuietGetsEvenMarks) {
  // A tone whose period is a little off the one given, as a voice wavers.
  const std::vector<uint8_t> voiced = tone(2000, 60, 103);
  const std::vector<size_t> marks = periodMarks(voiced, 100);
  ASSERT_GE(marks.size(), 19u);
  for (size_t k = 0; k < marks.size(); ++k)
    EXPECT_NEAR(static_cast<double>(marks[k]), 103.0 * static_cast<double>(k), 1.0) << k;

  std::vector<uint8_t> mixed(1000, 128);  // silence, then voice
  const std::vector<uint8_t> tail = tone(1000, 60);
  mixed.insert(mixed.end(), tail.begin(), tail.end());
  const std::vector<size_t> both = periodMarks(mixed, 100);
  for (size_t k = 0; k < both.size(); ++k) {
    if (k > 0) {
      EXPECT_GT(both[k] - both[k - 1], 50u) << k;
    }
    if (both[k] >= 1100) {
      EXPECT_EQ(both[k] % 100, 0u) << both[k];  // on the tone's own periods
    }
  }
  EXPECT_EQ(both.front(), 0u);
  EXPECT_GE(both.back(), 1900u);
  EXPECT_TRUE(periodMarks(voiced, 0).empty());
}

}  // namespace
}  // namespace speech
