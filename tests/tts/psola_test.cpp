// Our own renderer and its units' file: grains re-spaced to the pitch points,
// phonemes lasting what their lines say, a pair without a unit still heard.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "support/sound_measure.h"
#include "tts/diphone_units.h"
#include "tts/psola.h"

namespace tts {
namespace {

constexpr int kRate = 16000;
constexpr size_t kPeriod = 160;  // the units' voice: 100 Hz

// A unit of two halves of 800 samples: a buzz of `amplitude` with its period
// marks, or silence on a pause's side, as the build cuts them.
DiphoneUnit unit(const std::string& first, const std::string& second, double amplitude = 8000) {
  DiphoneUnit u{first + "-" + second, 800, {}, std::vector<int16_t>(1600, 0)};
  for (size_t i = 0; i < u.samples.size(); ++i) {
    const bool quiet = (i < 800 ? first : second)[0] == '_';
    double v = 0;
    const double phase = 2 * std::numbers::pi * static_cast<double>(i % kPeriod) / kPeriod;
    for (int h = 1; h <= 5; ++h) v += std::sin(h * phase) / h;
    if (!quiet) u.samples[i] = static_cast<int16_t>(std::lround(amplitude * v / 2));
  }
  for (uint32_t m = 0; m < u.samples.size(); m += kPeriod) u.marks.push_back(m);
  return u;
}

DiphoneUnits voice() {
  DiphoneUnits v{kRate, {unit("_", "_"), unit("_", "A"), unit("A", "_"), unit("A", "A"), unit("A", "B"),
                         unit("B", "A", 2000), unit("_", "B", 2000), unit("B", "_", 2000)}};
  // Held quiet on both sides, so that the B's own halves are the quiet ones.
  v.units[4] = unit("A", "B");
  for (size_t i = 800; i < 1600; ++i) v.units[4].samples[i] = static_cast<int16_t>(v.units[4].samples[i] / 4);
  std::string bytes = encodeDiphoneUnits(v);
  EXPECT_TRUE(decodeDiphoneUnits(bytes, v));  // sorted, as loaded
  return v;
}

std::vector<int16_t> render(const PhonemeLines& lines, const DiphoneUnits& units) {
  PsolaRenderer r(readPhones(lines), units);
  std::vector<int16_t> out;
  while (!r.done()) r.renderNext(out);
  return out;
}

size_t at(double ms) { return static_cast<size_t>(ms * kRate / 1000); }

TEST(DiphoneUnits, AreReadBackAsWrittenAndRefusedWhenDamaged) {
  DiphoneUnits v = voice();
  ASSERT_EQ(v.units.size(), 8u);
  EXPECT_EQ(v.rate, kRate);
  const DiphoneUnit* ab = findUnit(v, "a", "b");
  ASSERT_NE(ab, nullptr);
  EXPECT_EQ(ab->boundary, 800u);
  EXPECT_EQ(ab->marks.size(), 10u);
  EXPECT_EQ(findUnit(v, "B", "B"), nullptr);

  const std::string good = encodeDiphoneUnits(v);
  auto with = [&](size_t pos, char c) { std::string b = good; b[pos] = c; return b; };
  // The first unit, "A-A": name at 12, boundary at 16, counts at 20 and 24, marks from 28.
  const struct {
    const char* what;
    std::string bytes;
  } damaged[] = {
      {"cut short", good.substr(0, good.size() - 1)},
      {"bytes after the last unit", good + "x"},
      {"another magic", with(0, 'X')},
      {"no rate", with(4, 0) .substr(0, 4) + std::string(4, '\0') + good.substr(8)},
      {"boundary past the end", with(18, 0x7F)},
      {"marks out of order", with(37, 0)},
      {"a mark past the end", with(28 + 9 * 4 + 1, 0x7F)},
  };
  for (const auto& d : damaged) {
    DiphoneUnits out{kRate, {unit("_", "_")}};
    EXPECT_FALSE(decodeDiphoneUnits(d.bytes, out)) << d.what;
    EXPECT_TRUE(out.units.empty()) << d.what;
  }
}

TEST(Psola, ReadsLinesAndFollowsThePitchPointsBetweenThem) {
  const std::vector<Phone> phones = readPhones({";casa", "", "a 100 0 100 100 200", "bad", "_ 50", "b 50 50 150"});
  ASSERT_EQ(phones.size(), 3u);
  EXPECT_EQ(phones[0].name, "a");
  EXPECT_EQ(phones[0].points.size(), 2u);
  EXPECT_EQ(phones[1].name, "_");
  const DiphoneUnits v = voice();
  const PsolaRenderer r(phones, v);
  EXPECT_EQ(r.startOf(2), at(150));
  EXPECT_DOUBLE_EQ(r.pitchAt(0), 100);
  EXPECT_DOUBLE_EQ(r.pitchAt(static_cast<double>(at(50))), 150);
  EXPECT_DOUBLE_EQ(r.pitchAt(static_cast<double>(at(100))), 200);
  EXPECT_DOUBLE_EQ(r.pitchAt(static_cast<double>(at(137.5))), 175);  // on to the next point
  EXPECT_DOUBLE_EQ(r.pitchAt(static_cast<double>(at(300))), 150);    // held after the last
}

TEST(Psola, GrainsAreLaidAtThePitchThePointsGive) {
  const DiphoneUnits v = voice();
  const std::vector<int16_t> out = render({"_ 50", "A 400 0 80 100 240", "_ 50"}, v);
  ASSERT_EQ(out.size(), at(500));
  for (const double share : {0.2, 0.5, 0.8}) {
    const double target = 80 + share * 160;
    EXPECT_NEAR(testsupport::fundamentalAt(out, at(50 + 400 * share), kRate), target, target * 0.05) << share;
  }
  EXPECT_LT(testsupport::loudnessOf(out, 0, at(40)), 1.0);  // the pauses stay quiet
  EXPECT_GT(testsupport::loudnessOf(out, at(100), at(400)), 1000);
}

TEST(Psola, EachPhonemeLastsWhatItsLineSays) {
  const DiphoneUnits v = voice();
  for (const int ms : {40, 120, 300}) {
    const std::vector<int16_t> out = render({"A " + std::to_string(ms) + " 50 120", "B 100", "A 100"}, v);
    ASSERT_EQ(out.size(), at(ms + 200)) << ms;
    // The loud A gives way to the quiet B where the line says.
    size_t quiet = 0;
    for (size_t i = at(10); i + at(15) < out.size() && !quiet; i += at(1))
      if (testsupport::loudnessOf(out, i, i + at(15)) < 1500) quiet = i;
    EXPECT_NEAR(static_cast<double>(quiet) * 1000 / kRate, ms, 10) << ms;
  }
}

TEST(Psola, RendersPieceByPieceAndAPairWithoutAUnitIsStillHeard) {
  const DiphoneUnits v = voice();
  // B-B has no unit: each B borrows its halves from units it has.
  PsolaRenderer r(readPhones({"_ 50", "A 100 50 120", "B 100", "B 100", "_ 50"}), v);
  std::vector<int16_t> out;
  r.renderNext(out);
  r.renderNext(out);
  EXPECT_GT(out.size(), 0u);  // the start is ready before the rest is made
  EXPECT_LE(out.size(), at(150));
  while (!r.done()) r.renderNext(out);
  ASSERT_EQ(out.size(), at(400));
  for (double ms = 160; ms < 340; ms += 10) EXPECT_GT(testsupport::loudnessOf(out, at(ms), at(ms + 10)), 300) << ms;
}

}  // namespace
}  // namespace tts
