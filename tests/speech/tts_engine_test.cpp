// The built-in engine over MBROLA: the adapter against the stand-in program,
// and kind 3 end to end through speak_probe, heard with --audio-out.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "speech/mbrola.h"
#include "support/scratch.h"
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
  Outcome say(const std::string& text, const std::string& keys = "") {
    std::ofstream(scratch_ / "Escuta.ini") << "[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nTIPOSAPI=3\nTOM=0\nVELOCIDADE=3\n";
    std::ofstream(scratch_ / "keys.txt") << keys;
    const std::string cmd = "ESCUTA_CONFIG_DIR=" + scratch_.path() + " " + SPEAK_PROBE +
                            " --frontend headless --clock-speed 10 --keys " + (scratch_ / "keys.txt") +
                            " --audio-out " + (scratch_ / "out.wav") + " -- 'say:" + text + "' >" +
                            (scratch_ / "out.txt") + " 2>&1";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, speech_test::readRecording(scratch_ / "out.wav")};
  }
};

TEST_F(EngineKind3, SpeaksTimedAndPitchedLinesThroughMbrola) {
  const Outcome o = say("A casa?");
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

TEST_F(EngineKind3, WithoutMbrolaTheRecordedVoiceSpeaks) {
  std::filesystem::remove(scratch_ / "path/mbrola");
  const Outcome o = say("A casa?");
  ASSERT_EQ(o.status, 0) << testsupport::slurp(scratch_ / "out.txt");
  EXPECT_EQ(o.audio.rate, 11025);
  EXPECT_FALSE(o.audio.data.empty());
}

}  // namespace
