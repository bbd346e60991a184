// The table that carries the script's voice numbers, speeds and pitches onto
// the system voices.
#include "speech/voice_tables.h"

#include <gtest/gtest.h>

#include <climits>

namespace speech {
namespace {

TEST(VoiceTables, SpeedsBecomeWordsAMinuteWithinTheVoicesRange) {
  const struct {
    int speed, rate;
  } cases[] = {{-10, 80}, {-1, 166}, {1, 202}, {5, 312}, {10, 450}, {12, 450}, {79, 450},
               {80, 80},  {180, 180}, {500, 450}, {-11, 80}, {INT_MIN, 80}, {INT_MAX, 450}};
  for (const auto& c : cases) EXPECT_EQ(espeakRate(c.speed), c.rate) << c.speed;
}

TEST(VoiceTables, PitchesAndDispatcherRatesAreClamped) {
  const struct {
    int given, pitch, rate;
  } cases[] = {{-10, 0, -100}, {-1, 45, -10}, {1, 55, 10}, {10, 99, 100}, {INT_MIN, 0, -100}, {INT_MAX, 99, 100}};
  for (const auto& c : cases) {
    EXPECT_EQ(espeakPitch(c.given), c.pitch) << c.given;
    EXPECT_EQ(speechdRate(c.given), c.rate) << c.given;
  }
}

TEST(VoiceTables, BrazilianPortugueseComesFirstThenPortugueseThenTheRestInOrder) {
  const std::vector<std::vector<std::string>> voices = {
      {"af"}, {"pt", "pt-pt"}, {"en-us", "en"}, {"pt-BR"}, {"ptx"}, {"pt-br", "pt"}, {}, {"pt-PT"}};
  EXPECT_EQ(orderVoices(voices), (std::vector<size_t>{3, 5, 1, 7, 0, 2, 4, 6}));
  EXPECT_TRUE(orderVoices({}).empty());
}

}  // namespace
}  // namespace speech
