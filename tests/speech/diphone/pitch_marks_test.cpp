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

}  // namespace
}  // namespace speech
