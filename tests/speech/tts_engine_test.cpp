// The built-in engine over MBROLA: the adapter against the stand-in program,
// and kind 3 end to end through speak_probe, heard with --audio-out.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/base/paths.h"
#include "speech/mbrola.h"
#include "speech/wave_player.h"
#include "support/scratch.h"
#include "support/sound_measure.h"
#include "tts/front_end.h"
#include "tts/psola.h"
#include "tts/time_and_pitch.h"
#include "wave_bytes.h"

namespace {

// A folder holding the stand-in under MBROLA's name, put first on PATH.
class Mbrola : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(scratch_ / "path");
    std::filesystem::create_symlink(MBROLA_STANDIN, scratch_ / "path/mbrola");
    log_ = scratch_ / "log.txt";
    oldPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (scratch_ / "path").c_str(), 1);
    setenv("MBROLA_STANDIN_LOG", log_.c_str(), 1);
  }
  void TearDown() override {
    speech::releaseMbrola();
    setenv("PATH", oldPath_.c_str(), 1);
    unsetenv("MBROLA_STANDIN_LOG");
  }

  // Every sample the program gives until it has no more.
  static size_t readAll() {
    std::vector<int16_t> buffer(64000);
    size_t total = 0;
    for (int n; (n = speech::read_MBR(buffer.data(), 64000)) > 0;) total += static_cast<size_t>(n);
    return total;
  }

  testsupport::ScratchDir scratch_;
  std::string log_, oldPath_;
};

TEST_F(Mbrola, SendsLinesAsTheyAreAndReadsTheirSamples) {
  ASSERT_TRUE(speech::loadMbrola());
  ASSERT_EQ(speech::init_MBR("/voz/br4"), 0);
  EXPECT_EQ(speech::write_MBR("a 100 50 200\r\n"), 0);
  EXPECT_EQ(speech::write_MBR(";palavra\r\n"), 0);
  EXPECT_EQ(speech::write_MBR("_ 50\r\n"), 0);
  EXPECT_EQ(speech::flush_MBR(), 0);
  EXPECT_EQ(readAll(), 150u * 16);
  // A second utterance after a reset is read whole on its own.
  EXPECT_EQ(speech::reset_MBR(), 0);
  EXPECT_EQ(speech::write_MBR("k 20\r\n"), 0);
  EXPECT_EQ(speech::flush_MBR(), 0);
  EXPECT_EQ(readAll(), 20u * 16);
  speech::close_MBR();
  EXPECT_EQ(testsupport::slurp(log_), "ARGS /voz/br4 - -.raw\na 100 50 200\r\n;palavra\r\n_ 50\r\n#\nk 20\r\n#\n");
}

TEST_F(Mbrola, AProgramThatHasGoneFailsTheWriteAndStartsAgain) {
  ASSERT_TRUE(speech::loadMbrola());
  ASSERT_EQ(speech::init_MBR("br4"), 0);
  EXPECT_EQ(speech::write_MBR("die\r\n"), 0);
  int written = 0;
  for (int i = 0; i < 100 && written == 0; ++i) {
    usleep(10000);
    written = speech::write_MBR("a 10\r\n");
  }
  EXPECT_LT(written, 0);
  EXPECT_LT(speech::lastError_MBR(), 0);
  ASSERT_EQ(speech::init_MBR("br4"), 0);
  EXPECT_EQ(speech::write_MBR("a 10\r\n"), 0);
  EXPECT_EQ(speech::flush_MBR(), 0);
  EXPECT_EQ(readAll(), 160u);
}

TEST_F(Mbrola, IsNotFoundWithoutTheProgram) {
  std::filesystem::remove(scratch_ / "path/mbrola");
  EXPECT_FALSE(speech::loadMbrola());
  EXPECT_LT(speech::init_MBR("br4"), 0);
}

TEST(MbrolaPhone, BuildsALineFromItsPoints) {
  speech::Phone* phone = speech::init_Phone("a", 87);
  speech::appendf0_Phone(phone, 80, 253);
  EXPECT_EQ(speech::phoneLine(*phone), "a 87 80 253");
  speech::reset_Phone(phone);
  EXPECT_EQ(speech::phoneLine(*phone), "a 87");
  speech::close_Phone(phone);
}

// Kind 3 through the speech service, as a program opens it from Escuta.ini.
class EngineKind3 : public Mbrola {
 protected:
  struct Outcome {
    int status;
    speech_test::Recording audio;
  };
  Outcome say(const std::string& text, const std::string& keys = "", const std::string& ini = "",
              int clockSpeed = 10) {
    std::ofstream(scratch_ / "Escuta.ini") << "[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nTIPOSAPI=3\nTOM=0\nVELOCIDADE=3\n"
                                           << ini;
    std::ofstream(scratch_ / "keys.txt") << keys;
    const std::string cmd = "ESCUTA_CONFIG_DIR=" + scratch_.path() + " " + SPEAK_PROBE +
                            " --frontend headless --clock-speed " + std::to_string(clockSpeed) + " --keys " +
                            (scratch_ / "keys.txt") +
                            " --audio-out " + (scratch_ / "out.wav") + " -- 'say:" + text + "' >" +
                            (scratch_ / "out.txt") + " 2>&1";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, speech_test::readRecording(scratch_ / "out.wav")};
  }
};

TEST_F(EngineKind3, SpeaksTimedAndPitchedLinesThroughMbrola) {
  std::ofstream(scratch_ / "br4") << "a database";
  const Outcome o = say("A casa?", "", "[AURORATTS]\nMBROLA_DB=" + (scratch_ / "br4") + "\n");
  ASSERT_EQ(o.status, 0) << testsupport::slurp(scratch_ / "out.txt");
  // Speed 3 gives durations of 0.6 and the stressed "a" 145 %; "casa" is
  // the question's last word, code 548: 100 %, 94 % and a rising 120 % of
  // 200 Hz. The lines go one by one, with CR LF, and a flush ends them.
  const std::string log = testsupport::slurp(log_);
  EXPECT_NE(log.find(";casa\r\nk 54 50 200\r\na 82 80 188\r\nz 69\r\na2 65 50 240\r\n"), std::string::npos)
      << log;
  EXPECT_EQ(o.audio.rate, 16000);
  EXPECT_EQ(o.audio.bits, 16);
  EXPECT_GT(o.audio.data.size(), 2u * 16 * 200);
}

TEST_F(EngineKind3, AKeyStopsMbrolaWithinOneBlock) {
  std::ofstream(scratch_ / "br4") << "a database";
  // On the real clock: the key comes 1.5 s after the program starts, while a
  // sentence of several seconds is being said.
  const Outcome o = say("A casa bonita fica perto do rio, e a gente vai todo dia quando faz sol.", "wait 1500\nkey x\n",
                        "[AURORATTS]\nMBROLA_DB=" + (scratch_ / "br4") + "\n", 1);
  ASSERT_EQ(o.status, 0) << testsupport::slurp(scratch_ / "out.txt");
  ASSERT_EQ(o.audio.rate, 16000);
  const double blockMs = 1000.0 * speech::kWaveBlockSize / (2 * 16000);
  const double heardMs = static_cast<double>(o.audio.data.size()) * 1000 / (2 * 16000);
  EXPECT_GT(heardMs, 500);
  EXPECT_LE(heardMs, 1500 + blockMs);
}

// Without MBROLA our own renderer speaks the same lines: heard here against
// the lines the engine makes for the same text at the same settings.
class OwnVoice : public EngineKind3 {
 protected:
  static constexpr int kRate = 16000;

  void SetUp() override {
    EngineKind3::SetUp();
    std::filesystem::remove(scratch_ / "path/mbrola");
  }

  struct Heard {
    std::vector<tts::Phone> phones;
    std::vector<double> starts;  // ms, one more than phones
    std::vector<int16_t> samples;
  };

  // What `text` gives at TOM=0 and VELOCIDADE=3, and what was heard.
  Heard hear(const std::string& text, const std::string& ini = "", const std::string& dfn = "") {
    tts::FrontEnd voice;
    tts::DiphoneList diphones;
    EXPECT_TRUE(tts::loadFrontEnd(tts::kDefaultDataDir, tts::kDefaultBaseName, voice));
    EXPECT_TRUE(tts::loadDiphoneList(dfn.empty() ? std::string(tts::kDefaultDataDir) + "portug.dfn" : dfn, diphones));
    Heard h;
    h.phones = tts::readPhones(tts::timeAndPitch(tts::textToPhonemeLines(text, voice).lines, voice.prosody, diphones,
                                                 tts::pitchFactorOf(0), tts::durationFactorOf(3)));
    h.starts.push_back(0);
    for (const tts::Phone& p : h.phones) h.starts.push_back(h.starts.back() + p.ms);
    const Outcome o = say(text, "", ini);
    EXPECT_EQ(o.status, 0) << testsupport::slurp(scratch_ / "out.txt");
    EXPECT_EQ(o.audio.rate, kRate);
    EXPECT_EQ(o.audio.bits, 16);
    h.samples.resize(o.audio.data.size() / 2);
    std::memcpy(h.samples.data(), o.audio.data.data(), h.samples.size() * 2);
    return h;
  }

  static size_t at(double ms) { return static_cast<size_t>(ms * kRate / 1000); }
  static double fundamental(const Heard& h, double ms) { return testsupport::fundamentalAt(h.samples, at(ms), kRate); }
  static bool isVowel(const std::string& name) { return std::string_view("aeiou").find(name[0]) != std::string::npos; }
  static bool voiced(const std::string& name) {
    return name != "_" && name != "p" && name != "t" && name != "k" && name != "f" && name != "s" && name != "x" &&
           name != "tx";
  }
  static size_t last(const Heard& h, const std::string& name) {
    size_t i = h.phones.size();
    while (i > 0 && h.phones[i - 1].name != name) --i;
    return i - 1;
  }
};

TEST_F(EngineKind3, WithoutItsDatabaseMbrolaIsNotStartedAndOurRendererSpeaks) {
  const Outcome o = say("A casa?", "", "[AURORATTS]\nMBROLA_DB=" + (scratch_ / "nenhum") + "\n");
  ASSERT_EQ(o.status, 0) << testsupport::slurp(scratch_ / "out.txt");
  EXPECT_FALSE(std::filesystem::exists(log_));
  EXPECT_EQ(o.audio.rate, 16000);
  EXPECT_GT(o.audio.data.size(), 2u * 16 * 200);
}

TEST_F(OwnVoice, EachPhonemeLastsWhatItsLineSays) {
  const Heard h = hear("Isso, a massa.");
  // The whole utterance, at most the player's shortest piece more.
  EXPECT_NEAR(static_cast<double>(h.samples.size()) * 1000 / kRate, h.starts.back(), 10);
  size_t checked = 0;
  for (size_t i = 1; i + 1 < h.phones.size(); ++i) {
    const bool pause = h.phones[i].name == "_", noise = h.phones[i].name == "s";
    if (!pause && !noise) continue;
    if (!isVowel(h.phones[i - 1].name) || !isVowel(h.phones[i + 1].name)) continue;
    // A pause between vowels is silent, an "s" between them is noise: the
    // first and the last such 5 ms window near it.
    auto fits = [&](double ms) {
      const size_t from = at(ms - 2.5), to = at(ms + 2.5);
      return pause ? testsupport::loudnessOf(h.samples, from, to) < 100
                   : testsupport::crossingRate(h.samples, from, to) > 0.25;
    };
    double begin = -1, end = -1;
    for (double ms = h.starts[i] - 30; ms <= h.starts[i + 1] + 30; ++ms) {
      if (!fits(ms)) continue;
      if (begin < 0) begin = ms;
      end = ms;
    }
    EXPECT_NEAR(end - begin, h.phones[i].ms, 10) << h.phones[i].name << " " << i;
    EXPECT_NEAR(begin, h.starts[i], 10) << h.phones[i].name << " " << i;
    ++checked;
  }
  EXPECT_GE(checked, 3u);
}

TEST_F(OwnVoice, ThePitchFollowsThePointsAndAQuestionRisesWhereAStatementFalls) {
  double stressed[2], final[2];
  for (const bool question : {false, true}) {
    const Heard h = hear(question ? "A casa bonita?" : "A casa bonita.");
    size_t checked = 0;
    for (size_t i = 1; i + 1 < h.phones.size(); ++i) {
      if (!isVowel(h.phones[i].name)) continue;
      // The 40 ms measured stay within the vowel and its voiced neighbours.
      const double from = h.starts[voiced(h.phones[i - 1].name) ? i - 1 : i];
      const double to = h.starts[voiced(h.phones[i + 1].name) ? i + 2 : i + 1];
      for (const auto& point : h.phones[i].points) {
        const double ms = h.starts[i] + point.first / 100 * h.phones[i].ms;
        if (ms - 20 < from || ms + 20 > to) continue;
        EXPECT_NEAR(fundamental(h, ms), point.second, point.second * 0.05)
            << h.phones[i].name << " " << i << " at " << point.first << " %";
        ++checked;
      }
    }
    EXPECT_GE(checked, 4u);
    const size_t t = last(h, "i"), end = last(h, "a2");
    stressed[question] = fundamental(h, (h.starts[t] + h.starts[t + 1]) / 2);
    final[question] = fundamental(h, h.starts[end + 1] - 25);
  }
  EXPECT_GT(final[true], stressed[true] * 1.05);
  EXPECT_LT(final[false], stressed[false] * 0.95);
}

TEST_F(OwnVoice, AMissingDiphoneIsBridgedAndHeard) {
  // The same voice without "a-z": "casa" gets a glide between its a and z.
  const std::filesystem::path dir = scratch_ / "voz";
  std::filesystem::create_directory(dir);
  const std::string staged = platform::hostPath(tts::kDefaultDataDir);
  for (const auto& f : std::filesystem::directory_iterator(staged))
    std::filesystem::copy(f.path(), dir / f.path().filename());
  std::string dfn = testsupport::slurp(dir / "portug.dfn");
  const size_t az = dfn.find("\na-z");
  ASSERT_NE(az, std::string::npos);
  dfn.erase(az, 4);
  std::ofstream(dir / "portug.dfn", std::ios::trunc) << dfn;

  const Heard h = hear("A casa.", "[AURORATTS]\nDIR=" + dir.string() + "/\n", (dir / "portug.dfn").string());
  const size_t y = last(h, "y");
  ASSERT_LT(y, h.phones.size());
  EXPECT_EQ(h.phones[y - 1].name, "a");
  EXPECT_EQ(h.phones[y + 1].name, "z");
  EXPECT_NEAR(static_cast<double>(h.samples.size()) * 1000 / kRate, h.starts.back(), 10);
  // From the a through the bridge into the z, no window is silent.
  for (double ms = h.starts[y - 1]; ms < h.starts[y + 2]; ms += 5)
    EXPECT_GT(testsupport::loudnessOf(h.samples, at(ms), at(ms + 5)), 300) << ms;
}

TEST_F(OwnVoice, AKeyStopsSpeechWithinOneBlock) {
  // On the real clock: the key comes 1.5 s after the program starts, while a
  // sentence of several seconds is being said.
  const Outcome o = say("A casa bonita fica perto do rio, e a gente vai todo dia quando faz sol.",
                        "wait 1500\nkey x\n", "", 1);
  ASSERT_EQ(o.status, 0) << testsupport::slurp(scratch_ / "out.txt");
  ASSERT_EQ(o.audio.rate, kRate);
  const double blockMs = 1000.0 * speech::kWaveBlockSize / (2 * kRate);
  const double heardMs = static_cast<double>(o.audio.data.size()) * 1000 / (2 * kRate);
  EXPECT_GT(heardMs, 500);
  EXPECT_LE(heardMs, 1500 + blockMs);
}

}  // namespace
