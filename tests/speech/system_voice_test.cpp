// The system voices end to end, with the real components: roteiro runs
// scripts headless; eSpeak NG (kind 4) is heard through --audio-out, and
// speech-dispatcher (kind 5) through a private PulseAudio whose null sink's
// monitor the test records, both servers started here on private sockets.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/scratch.h"
#include "support/speech_servers.h"
#include "wave_bytes.h"

namespace {

using speech_test::Recording;
using testsupport::slurp;

// 16-bit mono sound, as both voices are recorded here.
std::vector<int16_t> samplesOf(const std::vector<uint8_t>& data) {
  std::vector<int16_t> s(data.size() / 2);
  for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<int16_t>(data[2 * i] | data[2 * i + 1] << 8);
  return s;
}

// Seconds of sound in 10 ms windows louder than a whisper.
double voicedSeconds(const std::vector<int16_t>& s, int rate) {
  const size_t window = static_cast<size_t>(rate / 100);
  int voiced = 0;
  for (size_t at = 0; at + window <= s.size(); at += window) {
    double sum = 0;
    for (size_t i = at; i < at + window; ++i) sum += static_cast<double>(s[i]) * s[i];
    if (std::sqrt(sum / static_cast<double>(window)) > 300) ++voiced;
  }
  return voiced / 100.0;
}

double seconds(const Recording& r) {
  return r.rate && r.channels && r.bits ? static_cast<double>(r.data.size()) / (r.rate * r.channels * r.bits / 8) : 0;
}

// What the run said and played, in order, up to its end: "SAY text",
// "PLAY _97" (a piece by its name), "SPELL ab", "SHOW x".
std::vector<std::string> events(const std::string& transcript) {
  std::vector<std::string> out;
  std::istringstream lines(transcript);
  for (std::string line; std::getline(lines, line);) {
    const size_t tab = line.find('\t');
    const std::string name = line.substr(0, tab);
    if (name == "END") break;
    std::string text = tab == std::string::npos ? "" : line.substr(tab + 1);
    if (name == "PLAY") text = text.substr(text.find_last_of("\\/") + 1, text.rfind(".wav") - text.find_last_of("\\/") - 1);
    if (name == "SAY" || name == "PLAY" || name == "SPELL" || name == "SHOW") out.push_back(name + " " + text);
  }
  return out;
}

struct Outcome {
  int status = -1;
  std::vector<std::string> events;
  std::string errors;
  Recording audio;
};

class SystemVoice : public ::testing::Test {
 protected:
  Outcome run(const std::string& ini, const std::string& script, const std::string& keys = "",
          const std::string& environment = "", int clockSpeed = 10) {
    std::ofstream(scratch_ / "Escuta.ini") << ini;
    std::ofstream(scratch_ / "s.txt") << script << "termina mudo\n";  // no spoken end after the sound
    std::ofstream(scratch_ / "keys.txt") << keys;
    std::filesystem::remove(scratch_ / "a.wav");
    const std::string cmd = environment + " " ROTEIRO " --frontend headless --clock-speed " +
                            std::to_string(clockSpeed) + " --time-limit 120 --config-dir " + scratch_.path() +
                            " --keys " + (scratch_ / "keys.txt") + " --transcript " + (scratch_ / "t.txt") +
                            " --audio-out " + (scratch_ / "a.wav") + " " + (scratch_ / "s.txt") + " 2>" +
                            (scratch_ / "err.txt");
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, events(slurp(scratch_ / "t.txt")), slurp(scratch_ / "err.txt"),
            speech_test::readRecording(scratch_ / "a.wav")};
  }

  static constexpr const char* kEspeak = "[TRADUTOR]\nSAPI=S\n[SERVFALA]\nTIPOSAPI=4\n";
  testsupport::ScratchDir scratch_;
};

const char kLongText[] =
    "Era uma vez um menino que morava numa casa muito grande, perto de um rio largo e calmo, "
    "onde passava as tardes ouvindo os passaros e contando as nuvens que corriam pelo ceu.";

TEST_F(SystemVoice, EspeakSpeaksThroughTheWavePlayer) {
  const Outcome r = run(kEspeak, "fala \"Bom dia, tudo bem?\"\n");
  EXPECT_EQ(r.status, 0) << r.errors;
  EXPECT_EQ(r.events, (std::vector<std::string>{"SAY Bom dia, tudo bem?"}));  // no recorded pieces
  EXPECT_EQ(r.audio.bits, 16);
  EXPECT_EQ(r.audio.rate, 22050);
  const double voiced = voicedSeconds(samplesOf(r.audio.data), r.audio.rate);
  EXPECT_GT(voiced, 0.5);
  EXPECT_LT(seconds(r.audio), 4.0);
}

// The same words with other voices, speeds and pitches sound otherwise; a
// faster speed is shorter and a slower one longer.
TEST_F(SystemVoice, EspeakVoicesSpeedsAndPitchesChangeTheSound) {
  const struct {
    const char* settings;  // voice, speed, pitch
    double shortest, longest;  // against the default's length
  } cases[] = {{"1 0 0", 1, 1}, {"0 0 0", 1, 1}, {"3 0 0", 0.5, 2},  {"1 10 0", 0.3, 0.75},
               {"1 -10 0", 1.5, 3}, {"1 0 10", 0.8, 1.25}, {"1 0 -10", 0.8, 1.25}};
  std::vector<std::vector<uint8_t>> sounds;
  for (const auto& c : cases) {
    const Outcome r = run("", std::string("sintconfig 1 3 4 ") + c.settings + "\nfala \"Quarenta e dois passos\"\n");
    ASSERT_EQ(r.status, 0) << r.errors;
    ASSERT_EQ(r.audio.rate, 22050) << c.settings;
    sounds.push_back(r.audio.data);
    const double ratio = static_cast<double>(sounds.back().size()) / static_cast<double>(sounds[0].size());
    EXPECT_GE(ratio, c.shortest) << c.settings;
    EXPECT_LE(ratio, c.longest) << c.settings;
  }
  EXPECT_EQ(sounds[0], sounds[1]);  // voice 0 is voice 1
  for (size_t i = 2; i < sounds.size(); ++i) EXPECT_NE(sounds[0], sounds[i]) << cases[i].settings;
}

TEST_F(SystemVoice, AKeyStopsEspeakWithinOneBlockAndStaysQueued) {
  const Outcome r = run(kEspeak, std::string("fala \"") + kLongText + "\"\nle mudo a &\nescreve mudo a\n",
                    "wait 1000\nkey x\n", "", 1);
  EXPECT_EQ(r.status, 0) << r.errors;
  EXPECT_EQ(r.events.back(), "SHOW x\\r\\n");
  // The whole text lasts over 8 s; it stops at the key, within a block of
  // 8192 bytes (0.19 s) of it.
  EXPECT_GT(seconds(r.audio), 0.5);
  EXPECT_LT(seconds(r.audio), 1.0 + 0.19 + 0.05);
}

// SINTCONFIG and the start open, close and switch voices; spelling and a
// key's echo keep the recorded letters; a voice that cannot open leaves the
// recorded path, said once on the terminal.
TEST_F(SystemVoice, KindsSwitchAtStartAndAtRunTime) {
  const std::string missing = "SPEECHD_ADDRESS=unix_socket:" + (scratch_ / "none.sock") + " SPEECHD_CMD=/bin/false";
  const struct {
    const char* name;
    std::string ini, script, environment;
    std::vector<std::string> events;
    const char* error;
  } cases[] = {
      {"at start", kEspeak, "fala \"2\"\nsoletra \"ab\"\n", "", {"SAY 2", "SPELL ab", "PLAY _97", "PLAY _98", "SHOW ab"}, ""},
      {"switched", "", "sintconfig 1 3 4 1 0 0\nfala \"2\"\nsintconfig 0 3 4 1 0 0\nfala \"2\"\n", "",
       {"SAY 2", "SAY 2", "PLAY _dois"}, ""},
      {"configured", "[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nTIPOSAPI=4\nVOZ=1\n",
       "sintconfig 0 3 5 1 0 0\nfala \"2\"\nsintconfig 2 -1 -1 -1 -1 -1\nfala \"2\"\n", "",
       {"SAY 2", "PLAY _dois", "SAY 2"}, ""},
      {"no such voice", "[TRADUTOR]\nSAPI=S\n[SERVFALA]\nTIPOSAPI=4\nVOZ=9999\n", "fala \"2\"\n", "",
       {"SAY 2", "PLAY _dois"}, "roteiro: Sem o eSpeak NG: a voz 9999 n\xC3\xA3o existe"},
      {"no server", "[TRADUTOR]\nSAPI=S\n[SERVFALA]\nTIPOSAPI=5\n", "fala \"2\"\nsintconfig 1 3 54 1 0 0\nfala \"2\"\n",
       missing, {"SAY 2", "PLAY _dois", "SAY 2", "PLAY _dois"}, "roteiro: Sem o speech-dispatcher: "},
  };
  for (const auto& c : cases) {
    const Outcome r = run(c.ini, c.script, "", c.environment);
    EXPECT_EQ(r.status, 0) << c.name << "\n" << r.errors;
    EXPECT_EQ(r.events, c.events) << c.name;
    EXPECT_TRUE(r.errors.starts_with(c.error)) << c.name << "\n" << r.errors;
    // One line, however often the voice was asked for.
    EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), *c.error ? 1 : 0) << c.name;
  }
}

// A speech-dispatcher of the test's own, heard through its PulseAudio.
class Dispatcher : public SystemVoice {
 protected:
  void SetUp() override { ASSERT_TRUE(servers_.ok()); }

  std::vector<int16_t> heard(const std::string& script, const std::string& keys, Outcome& r) {
    return servers_.record([&] {
      r = run("[TRADUTOR]\nSAPI=S\n[SERVFALA]\nTIPOSAPI=5\n", script, keys, servers_.clientEnvironment(), 1);
    });
  }

  testsupport::SpeechServers servers_;
};

TEST_F(Dispatcher, TheTextIsSpokenAndAKeyCancelsIt) {
  Outcome r;
  const std::vector<int16_t> said = heard("fala \"Bom dia, tudo bem?\"\n", "", r);
  EXPECT_EQ(r.status, 0) << r.errors;
  EXPECT_EQ(r.events, (std::vector<std::string>{"SAY Bom dia, tudo bem?"}));
  EXPECT_EQ(r.errors, "");
  EXPECT_GT(voicedSeconds(said, 16000), 0.5);
  EXPECT_TRUE(r.audio.data.empty());  // the server plays it, not our device

  // The whole text lasts over 8 s; the key cancels it after three (a loaded
  // machine may take a second or more to start the server's voice).
  const std::vector<int16_t> cut =
      heard(std::string("fala \"") + kLongText + "\"\nle mudo a &\nescreve mudo a\n", "wait 3000\nkey x\n", r);
  EXPECT_EQ(r.status, 0) << r.errors;
  EXPECT_EQ(r.events.back(), "SHOW x\\r\\n");
  EXPECT_GT(voicedSeconds(cut, 16000), 0.3);
  EXPECT_LT(voicedSeconds(cut, 16000), 5);
}

}  // namespace
