// Phone strings to sound, on a small database whose every unit is a run of
// one byte value, so that the sound can be read back as the units played.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <numbers>

#include "platform/base/wave_header.h"
#include "speech/diphone_player.h"
#include "support/scratch.h"

namespace speech {
namespace {

struct TestUnit {
  std::string name;
  uint8_t value;  // below 88 or above 167, apart from noise and silence
  uint16_t length;
};

const std::vector<TestUnit> kUnits = {
    {"$A", 10, 1000},     {"$AWTIL", 11, 1000}, {"$AY", 12, 1000},   {"$K", 13, 1000},
    {"$MA", 14, 1000},    {"$MACIRC", 15, 1000}, {"$NN", 16, 1000},  {"$P", 17, 1000},
    {"$RA", 18, 1000},    {"$RR", 19, 1000},     {"$S", 20, 1000},   {"$ZA", 21, 1000},
    {"$ZU", 22, 1800},    {"$ZI", 23, 1200},     {"$ECIRC", 24, 1000}, {"$SECIRC", 25, 1000},
    {"$TCHI", 26, 1000},  {"$KA", 27, 1000},    {"$I", 28, 1000},
};

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string letterFile(const std::vector<uint8_t>& samples, int bits) {
  std::string wave(platform::kWaveHeaderSize, '\0');
  platform::writeWaveHeader(reinterpret_cast<uint8_t*>(wave.data()), 1, 11025, bits,
                            static_cast<uint32_t>(samples.size()));
  return wave + std::string(samples.begin(), samples.end());
}

class DiphonePlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<DiphoneUnit> index;
    std::string data;
    for (const TestUnit& u : kUnits) {
      index.push_back({u.name, u.length, static_cast<uint32_t>(data.size())});
      data.append(u.length, static_cast<char>(u.value));
    }
    std::sort(index.begin(), index.end(), [](auto& a, auto& b) { return a.name < b.name; });
    writeBytes(dir / "D.IND", encodeIndex(index));
    writeBytes(dir / "D.DIF", data);
    ASSERT_TRUE(openDiphoneDb(dir / "D.IND", dir / "D.DIF", db));
    writeBytes(dir / "_99.wav", letterFile(std::vector<uint8_t>(500, 200), 8));
    writeBytes(dir / "_100.wav", letterFile(std::vector<uint8_t>(500, 200), 16));
    letters = dir.path() + "/";
  }

  // The sound of a phone string as "NAME×bytes" runs, "silence×n",
  // "noise×n", and "|" where one image ends and the next begins.
  std::string played(std::string_view phones, DiphoneSpeed speed = {}) {
    std::string runs;
    DiphoneOutput out;
    out.play = [&](std::span<const uint8_t> image) {
      EXPECT_LT(image.size(), kSynthBufferSize);
      EXPECT_EQ(image[40] | image[41] << 8 | image[42] << 16, static_cast<int>(image.size() - 44));
      if (!runs.empty()) runs += " |";
      runs += describe(image.subspan(44));
    };
    speakPhones(db, letters, speed, phones, out);
    return runs;
  }

  static std::string describe(std::span<const uint8_t> sound) {
    std::string out;
    for (size_t i = 0; i < sound.size();) {
      const uint8_t v = sound[i];
      const bool quiet = v >= 88 && v <= 167;  // noise or silence
      size_t j = i;
      bool silent = true;
      while (j < sound.size() && (quiet ? sound[j] >= 88 && sound[j] <= 167 : sound[j] == v)) silent &= sound[j++] == 128;
      std::string name = quiet ? (silent ? "silence" : "noise") : "letter";
      for (const TestUnit& u : kUnits)
        if (!quiet && u.value == v) name = u.name;
      out += (out.empty() ? "" : " ") + name + "\xC3\x97" + std::to_string(j - i);
      i = j;
    }
    return out;
  }

  testsupport::ScratchDir dir;
  DiphoneDb db;
  std::string letters;
};

TEST_F(DiphonePlayer, UnitsSplitAndDegrade) {
  const struct {
    const char* phones;
    const char* sound;
  } cases[] = {
      {"[zA]", "$ZA×1000"},
      {"[pra]", "$P×1000 $RA×1000"},                        // two consonants: the first alone
      {"[mas]", "$MA×1000 $S×1000"},                        // a final consonant alone
      {"[ka]", "$KA×1000"},
      {"[ki]", "$K×900 $I×1000"},                           // missing: prefix at 90 %, then the vowel
      {"[b]", "noise×300"},                                 // a missing "$" and one letter
      {"[bk]", ""},                                         // missing, ending in a consonant: silence
      {"[kbx]", "$K×1000"},
      {"[zarr]", "$ZA×1000 $RR×1000"},
      {"[may]", "$MA×600 $AY×1000"},                        // a glide after a vowel
      {"[ma~w]", "$MACIRC×600 $AWTIL×1000"},                // a nasal diphthong
      {"[a~w]", "$AWTIL×1000"},
      {"[ma~]", "$MACIRC×900 $NN×900"},                     // missing TIL: CIRC and the nasal
      {"[as]", "$A×700 $S×1000"},
      {"[se^]", "$SECIRC×1000"},
      {"[tchI]", "$TCHI×1000"},
      {"[dzq]", "noise×300"},
  };
  for (const auto& c : cases) EXPECT_EQ(played(c.phones), c.sound) << c.phones;
}

TEST_F(DiphonePlayer, PausesAndWordGaps) {
  const DiphoneSpeed gap{0, 0, 250};
  const struct {
    const char* phones;
    const char* sound;
  } cases[] = {
      {"[zA][ /_,]", "$ZA×1000 silence×4200"},  // the word's gap, then the comma's
      {"[ /_.]", "silence×8000"},
      {"[ /_:][ /_;]", "silence×14200"},
      {"[zA/ ka][zA]", "$ZA×1000 $KA×1000 silence×200 $ZA×1000"},  // only after "]"
      {"[zA]", "$ZA×1000"},                                       // not at the end
  };
  for (const auto& c : cases) EXPECT_EQ(played(c.phones, gap), c.sound) << c.phones;
}

TEST_F(DiphonePlayer, UnstressedUnitsAreShortened) {
  const DiphoneSpeed speed{500, 1500, 0};
  EXPECT_EQ(played("[zu]", speed), "$ZU×1500");   // 1800 - 500 below 1500
  EXPECT_EQ(played("[zi]", speed), "$ZI×1200");   // shorter than 1500: whole
  EXPECT_EQ(played("[zU]", speed), "$ZU×1800");   // stressed
  EXPECT_EQ(played("[zU zi]", {500, 1000, 0}), "$ZU×1800 $ZI×1000");  // after the stress too
  EXPECT_EQ(played("[a]", speed), "$A×1000");      // "$" and one letter: never cut
  EXPECT_EQ(played("[zu]", {2000, 0, 0}), "");      // cut to nothing
  EXPECT_EQ(played("[zu]", {-5000, 0, 0}), "$ZU×1800");  // never past the stretch
}

// A voiced unit cut short ends where one of its periods starts, so that the
// next unit, which starts at one, follows without a click.
TEST(DiphonePlayerJoins, AVoicedUnitCutShortEndsWhereAPeriodStarts) {
  testsupport::ScratchDir dir;
  std::string data;
  for (int i = 0; i < 1800; ++i)  // rises through the centre every 100 samples
    data += static_cast<char>(std::lround(128 + 60 * std::sin(2 * std::numbers::pi * (i + 0.5) / 100)));
  writeBytes(dir / "D.IND", encodeIndex({{"$ZU", 1800, 0}}));
  writeBytes(dir / "D.DIF", data);
  DiphoneDb db;
  ASSERT_TRUE(openDiphoneDb(dir / "D.IND", dir / "D.DIF", db));
  const auto played = [&](std::string_view phones, DiphoneSpeed speed) {
    size_t samples = 0;
    DiphoneOutput out;
    out.play = [&](std::span<const uint8_t> image) { samples += image.size() - 44; };
    speakPhones(db, dir.path() + "/", speed, phones, out);
    return samples;
  };
  EXPECT_EQ(played("[zu]", {550, 0, 0}), 1100u);  // cut at 1250: the first peak of its last 158 samples rose at 1100
  EXPECT_EQ(played("[zU]", {550, 0, 0}), 1800u);  // stressed: whole
  EXPECT_EQ(played("[zu]", {0, 0, 0}), 1800u);
}

TEST_F(DiphonePlayer, LetterFiles) {
  EXPECT_EQ(played("[ /_c]"), "letter×500");
  EXPECT_EQ(played("[ /_,x]"), "noise×300");  // "_," inside a longer unit is no pause
  EXPECT_EQ(played("[ /_e]"), "");             // missing: silent, never noise
  EXPECT_EQ(played("[ /_d]"), "");             // 16-bit: skipped rather than played as noise
  EXPECT_EQ(played("[_"), "");
}

TEST_F(DiphonePlayer, LongSoundIsPlayedInImagesUnder64000Bytes) {
  std::string phones;
  for (int i = 0; i < 70; ++i) phones += "[ka]";
  const std::string sound = played(phones);
  // 63 units fill the first image; the 64th would reach 64000 bytes.
  EXPECT_EQ(sound, "$KA×63000 |$KA×7000");
  // A letter file larger than an image is played across several.
  writeBytes(dir / "_99.wav", letterFile(std::vector<uint8_t>(150000, 200), 8));
  EXPECT_EQ(played("[ka][ /_c]"), "$KA×1000 |letter×63955 |letter×63955 |letter×22090");
}

TEST(DiphoneDb, DamagedIndexOrDataIsRefusedOrSkipped) {
  testsupport::ScratchDir dir;
  const std::vector<DiphoneUnit> units = {{"$A", 10, 0}, {"$B", 10, 10}, {"$C", 10, 20}};
  const struct {
    const char* what;
    std::string index;
    size_t data;
    bool opens;
    size_t kept;
  } cases[] = {
      {"whole", encodeIndex(units), 30, true, 3},
      {"a record cut short", encodeIndex(units).substr(0, 40), 30, false, 0},
      {"out of order", encodeIndex({units[1], units[0]}), 30, false, 0},
      {"repeated name", encodeIndex({units[0], units[0]}), 30, false, 0},
      {"past the end of the data", encodeIndex(units), 25, true, 2},
      {"empty", "", 0, true, 0},
      {"name of 9", std::string("\x09") + encodeIndex(units).substr(1, 14), 30, false, 0},
  };
  for (const auto& c : cases) {
    writeBytes(dir / "D.IND", c.index);
    writeBytes(dir / "D.DIF", std::string(c.data, 'x'));
    DiphoneDb db;
    std::string why;
    EXPECT_EQ(openDiphoneDb(dir / "D.IND", dir / "D.DIF", db, &why), c.opens) << c.what;
    EXPECT_EQ(why.empty(), c.opens) << c.what;
    if (c.opens) {
      EXPECT_EQ(db.units.size(), c.kept) << c.what;
    }
  }
  DiphoneDb db;
  EXPECT_FALSE(openDiphoneDb(dir / "D.IND", dir / "absent.DIF", db));
  EXPECT_FALSE(openDiphoneDb(dir / "absent.IND", dir / "D.DIF", db));
}

}  // namespace
}  // namespace speech
