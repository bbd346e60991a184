// The voice data the build generated: every unit the rules give for real
// words is in the database, the sound is there, and the synthesizer loads it
// where Escuta.ini says.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "speech/diphone/phone_units.h"
#include "speech/diphone/text_to_phones.h"
#include "speech/diphone_synth.h"
#include "speech/riff.h"
#include "support/scratch.h"

namespace speech {
namespace {

const std::string kDifones = "c:\\audiwin\\som\\difones\\";
const std::string kLetras = "c:\\audiwin\\som\\letras\\";

struct Generated {
  DiphoneDb db;
  DiphoneText text;
};

const Generated& generated() {
  static const Generated* g = [] {
    auto* out = new Generated;
    EXPECT_TRUE(openDiphoneDb(platform::hostPath(kDifones + "DIFONES2.IND"),
                              platform::hostPath(kDifones + "DIFONES2.DIF"), out->db));
    EXPECT_TRUE(loadDiphoneRules(platform::hostPath(kDifones + "regras.rgr"), out->text.rules));
    EXPECT_TRUE(loadDiphoneExceptions(platform::hostPath(kDifones + "portug.exc"), out->text.exceptions));
    return out;
  }();
  return *g;
}

// Words of ordinary prose, and the whole wbrazilian list when installed.
std::vector<std::string> wordsToCheck() {
  std::vector<std::string> words;
  std::ifstream prose(std::string(DIPHONE_TEST_SOURCE_DIR) + "/tests/tts/data/prosa.txt");
  for (std::string w; prose >> w;) words.push_back(w);
  std::ifstream list("/usr/share/dict/brazilian");
  for (std::string w; std::getline(list, w);) words.push_back(platform::utf8ToCp1252(w));
  return words;
}

TEST(DiphoneVoiceData, EveryUnitTheRulesGiveIsInTheDatabase) {
  const Generated& g = generated();
  const std::vector<std::string> words = wordsToCheck();
  ASSERT_GT(words.size(), 1000u);
  std::map<std::string, std::string> missing;  // name -> first word needing it
  for (const std::string& word : words) {
    walkPhones(textToPhones(g.text, word), 0,
               {[&](std::string_view name, int, double) {
                  std::string key(name);
                  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                  const bool found = key[0] == '$' ? findUnit(g.db, key) != nullptr
                                                   : std::filesystem::exists(platform::hostPath(kLetras + key + ".wav"));
                  if (!found) missing.emplace(key, word);
                },
                [](int) {}});
  }
  for (const auto& [name, word] : missing) ADD_FAILURE() << name << " for " << platform::cp1252ToUtf8(word);
}

// RMS of the loudest 20 ms, in 8-bit steps from the centre.
double loudness(std::span<const uint8_t> sound) {
  constexpr size_t kWindow = kDiphoneRate / 50;
  double window = 0, best = 0;
  for (size_t i = 0; i < sound.size(); ++i) {
    window += (sound[i] - 128.0) * (sound[i] - 128.0);
    if (i >= kWindow) window -= (sound[i - kWindow] - 128.0) * (sound[i - kWindow] - 128.0);
    best = std::max(best, window);
  }
  return std::sqrt(best / static_cast<double>(std::min(kWindow, std::max<size_t>(sound.size(), 1))));
}

std::vector<uint8_t> unitSound(const DiphoneUnit& u) {
  std::vector<uint8_t> bytes(u.length);
  EXPECT_EQ(readStretch(generated().db, u, u.length, bytes.data()), u.length) << u.name;
  return bytes;
}

std::vector<uint8_t> letterSound(const std::string& name) {
  std::string bytes;
  EXPECT_TRUE(platform::readWholeFile(platform::hostPath(kLetras + name + ".wav"), bytes)) << name;
  const auto wave = parseWaveImage({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
  if (!wave) return {};
  EXPECT_EQ(wave->format, (platform::WaveFormat{11025, 1, 8})) << name;
  return {wave->data.begin(), wave->data.end()};
}

double median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

TEST(DiphoneVoiceData, UnitsAndLettersHoldSound) {
  const Generated& g = generated();
  ASSERT_GT(g.db.units.size(), 300u);
  EXPECT_EQ(g.db.dropped, 0u);
  for (const DiphoneUnit& u : g.db.units) {
    EXPECT_GT(u.length, 200) << u.name;
    // A consonant alone is as loud as before a vowel: a burst or a hiss.
    const bool vowel = u.name.find_first_of("AEIOU") != std::string::npos;
    EXPECT_GT(loudness(unitSound(u)), vowel ? 8 : 1.5) << u.name;
  }
  for (int code : {32, 44, 46, 48, 57, 65, 90, 97, 122, 199, 231, 233})
    EXPECT_GT(letterSound("_" + std::to_string(code)).size(), 1000u) << code;
}

// Numbers, times and words are cut from the same running speech, so a
// number inside a sentence is as loud as the words around it.
TEST(DiphoneVoiceData, PiecesAreAsLoudAsTheWordsAroundThem) {
  std::vector<double> units, pieces;
  for (const DiphoneUnit& u : generated().db.units)
    if (u.name.size() > 2) units.push_back(loudness(unitSound(u)));
  for (const char* name : {"_um", "_dois", "_tres", "_quatro", "_cinco", "_seis", "_sete", "_oito", "_nove", "_dez",
                           "_vinte", "_cem", "_mil", "_e", "_hora", "_horas", "_minutos", "_de", "_Janeiro", "_Sabado"})
    pieces.push_back(loudness(letterSound(name)));
  const double ratio = median(pieces) / median(units);
  EXPECT_GT(ratio, 0.8) << median(pieces) << " " << median(units);
  EXPECT_LT(ratio, 1.25) << median(pieces) << " " << median(units);
}

TEST(DiphoneVoiceData, ASentenceSoundsForAsLongAsItTakesToSay) {
  const Generated& g = generated();
  size_t samples = 0;
  DiphoneOutput out;
  out.play = [&](std::span<const uint8_t> image) { samples += image.size() - 44; };
  speakPhones(g.db, kLetras, {}, textToPhones(g.text, platform::utf8ToCp1252("Bom dia, tudo bem com você?")), out);
  const double seconds = static_cast<double>(samples) / kDiphoneRate;
  EXPECT_GT(seconds, 1.0);
  EXPECT_LT(seconds, 5.0);
}

// loadDiphoneSynth reads its directories from Escuta.ini.
class DiphoneSynthLoad : public ::testing::Test {
 protected:
  void SetUp() override { setenv("ESCUTA_CONFIG_DIR", config.path().c_str(), 1); }
  void TearDown() override {
    releaseDiphoneSynth();
    unsetenv("ESCUTA_CONFIG_DIR");
  }
  void ini(const std::string& letters, const std::string& diphones) {
    std::ofstream(config / "Escuta.ini") << "[TRADUTOR]\r\ndirLetras=" << letters << "\r\nDIRDIFONES=" << diphones
                                          << "\r\n";
  }
  // A diphone directory with the generated files but the rules given.
  std::string diphonesWithRules(const std::string& rules) {
    for (const char* f : {"DIFONES2.IND", "DIFONES2.DIF", "portug.exc"})
      std::filesystem::copy_file(platform::hostPath(kDifones + f), data / f);
    if (!rules.empty()) std::ofstream(data / "regras.rgr") << rules;
    return data.path();
  }
  testsupport::ScratchDir config, data;
};

TEST_F(DiphoneSynthLoad, LoadsTheGeneratedVoice) {
  ini(kLetras, kDifones);
  ASSERT_EQ(loadDiphoneSynth(), 0);
  EXPECT_EQ(textToPhones("casa"), "[ k/A/ z/a^]");
  releaseDiphoneSynth();
  EXPECT_EQ(textToPhones("casa"), "");
}

TEST_F(DiphoneSynthLoad, DefaultDiphoneDirectoryAndNoLetterDirectory) {
  std::ofstream(config / "Escuta.ini") << "[TRADUTOR]\r\n";
  EXPECT_EQ(loadDiphoneSynth(), 0);  // letters from the data root, as an empty dirLetras says
}

TEST_F(DiphoneSynthLoad, FailuresSayWhatIsMissing) {
  const struct {
    const char* what;
    std::string letters, rules;
    bool diphonesExist;
    int code;
  } cases[] = {
      {"no letter directory", "c:\\absent", "(A)=a|\n", true, 1},
      {"no diphone directory", kLetras, "(A)=a|\n", false, 1},
      {"no rules", kLetras, "", true, 2},
      {"a line that is not a rule", kLetras, "(A)=a|\n(B=b|\n", true, 2},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(data.path());
    std::filesystem::create_directories(data.path());
    ini(c.letters, c.diphonesExist ? diphonesWithRules(c.rules) : data / "absent");
    EXPECT_EQ(loadDiphoneSynth(), c.code) << c.what;
  }
  // An index missing from an existing directory.
  std::filesystem::remove(data / "DIFONES2.IND");
  ini(kLetras, data.path());
  EXPECT_EQ(loadDiphoneSynth(), 1);
}

}  // namespace
}  // namespace speech
