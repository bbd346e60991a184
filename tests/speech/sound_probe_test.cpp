// Whole runs of sound_probe in the headless backend: what reached the device
// (--audio-out), what the transcript says, and how keys of a key script meet
// the sound.
#include <stdio.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "support/scratch.h"
#include "wave_bytes.h"

namespace {

using speech_test::Bytes;
using speech_test::Recording;

struct ProbeRun {
  std::vector<std::string> lines;
  int status = -1;
};

class SoundProbe : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return dir_ / name; }

  std::string wave(const std::string& name, int channels, int rate, int bits, const Bytes& pcm) {
    speech_test::writeFile(path(name), speech_test::pcmWave(channels, rate, bits, pcm));
    return path(name);
  }

  ProbeRun run(const std::vector<std::string>& actions, const std::string& keys = "") {
    std::string command = std::string(SOUND_PROBE) + " --frontend headless --time-limit 60 --audio-out " +
                          path("out.wav") + " --transcript " + path("transcript.txt") + " --config-dir " + dir_.path();
    if (!keys.empty()) {
      speech_test::writeFile(path("keys.txt"), Bytes(keys.begin(), keys.end()));
      command += " --keys " + path("keys.txt");
    }
    command += " --";
    for (const std::string& a : actions) command += " '" + a + "'";
    command += " 2>/dev/null";
    ProbeRun r;
    FILE* out = ::popen(command.c_str(), "r");
    if (!out) return r;
    char line[256];
    while (std::fgets(line, sizeof line, out)) r.lines.emplace_back(line, std::strcspn(line, "\n"));
    const int status = ::pclose(out);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
  }

  Recording recording() const { return speech_test::readRecording(path("out.wav")); }
  std::string transcript() const { return testsupport::slurp(path("transcript.txt")); }

  testsupport::ScratchDir dir_;
};

// "play RESULT MS" or "key TEXT MS": the word after the name, and the time.
std::string word(const std::string& line) {
  std::istringstream in(line);
  std::string name, w;
  in >> name >> w;
  return w;
}
int ms(const std::string& line) { return std::stoi(line.substr(line.rfind(' ') + 1)); }

// A 110 Hz sine, 16-bit mono at 11025 Hz.
Bytes sine16(size_t samples) {
  Bytes b;
  for (size_t i = 0; i < samples; ++i) {
    const auto s = static_cast<uint16_t>(static_cast<int16_t>(20000 * std::sin(2 * M_PI * 110 * static_cast<double>(i) / 11025.0)));
    b.push_back(static_cast<uint8_t>(s));
    b.push_back(static_cast<uint8_t>(s >> 8));
  }
  return b;
}

// File data goes to the device in pieces; each 8-bit mono piece shorter than
// 8192 bytes ends on silence, which shows where the pieces were cut.
TEST_F(SoundProbe, FileDataIsSplitIntoPieces) {
  const struct {
    size_t size;
    std::vector<size_t> silenced;
  } cases[] = {{8300, {7935, 8299}}, {8192, {}}, {8193, {7935, 8192}}, {300, {299}}};
  std::vector<std::string> actions;
  Bytes expected;
  for (const auto& c : cases) {
    actions.push_back("play:" + wave("f" + std::to_string(c.size) + ".wav", 1, 11025, 8, Bytes(c.size, 200)));
    Bytes played(c.size, 200);
    for (size_t at : c.silenced) played[at] = 128;
    expected.insert(expected.end(), played.begin(), played.end());
  }
  const ProbeRun r = run(actions);
  ASSERT_EQ(r.status, 0);
  ASSERT_EQ(r.lines.size(), 4u);
  for (const std::string& line : r.lines) EXPECT_EQ(word(line), "0") << line;
  EXPECT_GE(ms(r.lines[0]), 600);  // 8300 samples at 11025 Hz: 753 ms
  const Recording rec = recording();
  EXPECT_EQ(rec.rate, 11025);
  EXPECT_EQ(rec.bits, 8);
  EXPECT_EQ(rec.channels, 1);
  EXPECT_EQ(rec.data, expected);
  const std::string said = transcript();
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 4);
  EXPECT_NE(said.find("PLAY\t" + path("f8300.wav") + "\n"), std::string::npos);
}

// With cutting on, 16-bit mono plays as 8-bit at the same rate: a piece
// under 1000 samples just loses its low bytes, a long one about half its
// periods, and its time with them.
TEST_F(SoundProbe, CuttingPlaysSixteenBitMonoAsEightBitInHalfTheTime) {
  const Bytes shortSound = sine16(900);
  const ProbeRun r = run({"cut", "play:" + wave("short.wav", 1, 11025, 16, shortSound),
                     "play:" + wave("long.wav", 1, 11025, 16, sine16(22050))});
  ASSERT_EQ(r.status, 0);
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_GT(ms(r.lines[1]), 700);
  EXPECT_LT(ms(r.lines[1]), 1500);  // two seconds of sound
  const Recording rec = recording();
  EXPECT_EQ(rec.rate, 11025);
  EXPECT_EQ(rec.bits, 8);
  ASSERT_GT(rec.data.size(), 900u);
  for (size_t i = 0; i < 899; ++i) ASSERT_EQ(rec.data[i], shortSound[2 * i + 1] ^ 0x80) << i;
  EXPECT_EQ(rec.data[899], 128);
  const size_t cut = rec.data.size() - 900;
  EXPECT_GT(cut, 22050 * 4 / 10);
  EXPECT_LT(cut, 22050 * 6 / 10);
}

TEST_F(SoundProbe, FastRatePlaysAtOneAndAHalfTimesTheRate) {
  const Bytes pcm = speech_test::squareWave8(11025);
  const ProbeRun r = run({"fast", "play:" + wave("a.wav", 1, 11025, 8, pcm)});
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_GT(ms(r.lines[0]), 550);  // 667 ms instead of a second
  EXPECT_LT(ms(r.lines[0]), 950);
  const Recording rec = recording();
  EXPECT_EQ(rec.rate, 16537);
  EXPECT_EQ(rec.data.size(), pcm.size());
}

// x\y.wav has a ready cut version in x\rapido\y.wav: with cutting on that
// one plays, and is not cut again.
TEST_F(SoundProbe, CuttingPrefersTheReadyFastVersion) {
  ASSERT_EQ(::mkdir(path("som").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir(path("som/rapido").c_str(), 0755), 0);
  wave("som/aviso.wav", 1, 11025, 8, Bytes(3000, 200));
  const Bytes fast = speech_test::squareWave8(2000);
  wave("som/rapido/aviso.wav", 1, 11025, 8, fast);
  const std::string name = dir_.path() + "\\som\\aviso.wav";

  ProbeRun r = run({"cut", "play:" + name});
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_EQ(word(r.lines[0]), "0");
  Bytes expected = fast;
  expected.back() = 128;
  EXPECT_EQ(recording().data, expected);
  EXPECT_NE(transcript().find("PLAY\t" + dir_.path() + "\\\\som\\\\rapido\\\\aviso.wav\n"), std::string::npos);

  r = run({"play:" + name});
  EXPECT_EQ(recording().data.size(), 3000u);
}

// A key that comes during playback (a timed key of the script) stops it at
// once and is the next key read.
TEST_F(SoundProbe, KeyDuringPlaybackStopsItAndIsReadNext) {
  const ProbeRun r = run({"play:" + wave("long.wav", 1, 11025, 8, speech_test::squareWave8(33075)), "key"},
                    "wait 300\nkey a\n");
  ASSERT_EQ(r.status, 0);
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_EQ(word(r.lines[0]), "0");
  EXPECT_GE(ms(r.lines[0]), 250);
  EXPECT_LT(ms(r.lines[0]), 1500);  // of three seconds
  EXPECT_EQ(r.lines[1].substr(0, 6), "key a ");
  EXPECT_LT(ms(r.lines[1]), 50);
  const size_t heard = recording().data.size();
  EXPECT_GT(heard, 11025u / 10);
  EXPECT_LT(heard, 11025u * 3 / 2);
  EXPECT_NE(transcript().find("KEY\ta\n"), std::string::npos);
}

// A plain key comes as a user who listens to everything presses it: not
// before the sound has ended.
TEST_F(SoundProbe, PlainKeyWaitsForTheSoundToEnd) {
  const Bytes pcm = speech_test::squareWave8(11025);
  const ProbeRun r = run({"image:" + wave("a.wav", 1, 11025, 8, pcm), "key"}, "key a\n");
  ASSERT_EQ(r.status, 0);
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_EQ(r.lines[0], "image 0");
  EXPECT_GE(ms(r.lines[1]), 900);
  EXPECT_EQ(recording().data.size(), pcm.size());
}

// When the script has no key left for a program that waits for one, the run
// ends with an error, but only after the sound has been played out.
TEST_F(SoundProbe, ExhaustedScriptEndsTheRunAfterTheSound) {
  const Bytes pcm = speech_test::squareWave8(5512);
  const ProbeRun r = run({"image:" + wave("a.wav", 1, 11025, 8, pcm), "key"});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(recording().data.size(), pcm.size());
}

}  // namespace
