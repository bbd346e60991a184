// The wave player and the speech activity in the headless backend, where
// the null device takes real time and --audio-out records what it played.
// The first sound fixes the recording's format, so every sound here is
// 8-bit mono at 11025 Hz and arrives in the recording unchanged.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "console/keyboard.h"
#include "console/program.h"
#include "console/screen.h"
#include "console/tone.h"
#include "platform/platform.h"
#include "speech/click_beep.h"
#include "speech/speech_activity.h"
#include "speech/speech_service.h"
#include "speech/synth_dispatch.h"
#include "speech/wave_player.h"
#include "support/scratch.h"
#include "wave_bytes.h"

namespace speech {
namespace {

using speech_test::Bytes;

std::unique_ptr<testsupport::ScratchDir> g_scratch;
std::string g_dir;

std::string recordingFile() { return g_dir + "/out.wav"; }
std::string transcriptFile() { return g_dir + "/transcript.txt"; }

void writeSettings(const std::string& lines) { speech_test::writeFile(g_dir + "/Escuta.ini", Bytes(lines.begin(), lines.end())); }

void startSound() {
  startSpeechModules();
}

class HeadlessSound : public ::testing::Environment {
 public:
  void SetUp() override {
    g_scratch = std::make_unique<testsupport::ScratchDir>();
    g_dir = g_scratch->path();
    std::vector<std::string> args = {"wave_player_test", "--frontend",  "headless",      "--audio-out",
                                     recordingFile(),    "--transcript", transcriptFile(), "--config-dir",
                                     g_dir};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    platform::Options options;
    ASSERT_EQ(console::startProgram(static_cast<int>(argv.size()), argv.data(), "", options), -1);
    startSound();
  }
  void TearDown() override { g_scratch.reset(); }
};

const auto* const g_env = ::testing::AddGlobalTestEnvironment(new HeadlessSound);

Bytes image(const Bytes& pcm) { return speech_test::pcmWave(1, 11025, 8, pcm); }

size_t recorded() { return speech_test::readRecording(recordingFile()).data.size(); }

Bytes recordedSince(size_t from) {
  const Bytes all = speech_test::readRecording(recordingFile()).data;
  return Bytes(all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end());
}

uint64_t timed(void (*f)()) {
  const uint64_t start = platform::nowMs();
  f();
  return platform::nowMs() - start;
}

void drainKeys() {
  while (console::keyPressed()) console::readKey();
}

class WavePlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    drainKeys();
    waitWhileSpeaking();
    startSound();
  }
  void TearDown() override {
    waveStop();
    setSynthActive(false);
  }
};

// What the device gets is the image's data, each short piece ending on
// silence, and it takes the time it would take to hear.
TEST_F(WavePlayer, ImagePlaysOnTheClockAndIsRecordedAsPlayed) {
  const Bytes pcm = speech_test::squareWave8(2205);  // 200 ms
  const size_t before = recorded();
  ASSERT_EQ(playWaveImage(image(pcm)), 0);
  EXPECT_TRUE(isSpeaking());
  const uint64_t ms = timed(waitWhileSpeaking);
  EXPECT_GE(ms, 150u);
  EXPECT_LT(ms, 1000u);
  Bytes expected = pcm;
  expected.back() = 128;
  EXPECT_EQ(recordedSince(before), expected);
}

TEST_F(WavePlayer, KeyStopsPlaybackAtOnceAndStaysQueued) {
  const size_t before = recorded();
  ASSERT_EQ(playWaveImage(image(speech_test::squareWave8(22050))), 0);  // 2 s
  const uint64_t until = platform::nowMs() + 100;
  while (platform::nowMs() < until) console::waitMessage(10);
  ASSERT_TRUE(waveBusy());

  console::pushKey('x');
  const int64_t pushed = platform::clockUs();
  EXPECT_FALSE(isSpeaking());
  EXPECT_FALSE(waveBusy());
  EXPECT_LT(platform::backend().audio().times().silencedUs - pushed, 10000);
  EXPECT_GE(platform::backend().audio().times().silencedUs, pushed);
  ASSERT_TRUE(console::keyPressed());
  EXPECT_EQ(console::readKey(), 'x');
  EXPECT_TRUE(stopRequested());

  // About a tenth of a second was heard, nowhere near the whole.
  const size_t heard = recorded() - before;
  EXPECT_GT(heard, 500u);
  EXPECT_LT(heard, 11025u);
}

TEST_F(WavePlayer, KeyAlreadyWaitingPlaysNothing) {
  const std::string file = g_dir + "/long.wav";
  speech_test::writeFile(file, image(speech_test::squareWave8(11025)));
  const size_t before = recorded();
  console::pushKey('k');
  EXPECT_EQ(playWaveFile(file), 0);
  EXPECT_EQ(playWaveImage(image(speech_test::squareWave8(11025))), 0);
  EXPECT_FALSE(waveBusy());
  EXPECT_EQ(recorded(), before);
  EXPECT_EQ(console::readKey(), 'k');
}

// Files that cannot be played yield -1 at once, leave nothing in the
// transcript and send nothing to the device.
TEST_F(WavePlayer, UnplayableFilesAreSkippedSilently) {
  Bytes truncated = image(speech_test::squareWave8(1000));
  truncated.resize(30);
  const Bytes float32 = speech_test::riff({{"fmt ", speech_test::fmtBody(3, 1, 11025, 32)}, {"data", Bytes(4000, 0x7f)}});
  const Bytes hugeFormat = speech_test::riff({{"fmt ", speech_test::fmtBody(1, 1, 11025, 8, 9000)}, {"data", Bytes(100, 0)}});
  const struct {
    const char* name;
    Bytes bytes;
  } files[] = {{"empty.wav", {}}, {"truncated.wav", truncated}, {"float.wav", float32}, {"hugefmt.wav", hugeFormat}};
  const size_t before = recorded();
  const std::string transcriptBefore = testsupport::slurp(transcriptFile());
  for (const auto& f : files) {
    speech_test::writeFile(g_dir + "/" + f.name, f.bytes);
    EXPECT_EQ(playWaveFile(g_dir + "/" + f.name), -1) << f.name;
  }
  EXPECT_EQ(playWaveFile(g_dir + "/missing.wav"), -1);
  EXPECT_EQ(playWaveImage(truncated), -1);
  EXPECT_EQ(recorded(), before);
  EXPECT_EQ(testsupport::slurp(transcriptFile()), transcriptBefore);
}

TEST_F(WavePlayer, FileIsFoundThroughItsWindowsPathAndNamedInTheTranscript) {
  const Bytes pcm = speech_test::squareWave8(300);
  speech_test::writeFile(g_dir + "/Aviso.wav", image(pcm));
  const size_t before = recorded();
  EXPECT_EQ(playWaveFile(g_dir + "\\AVISO.WAV"), 0);
  EXPECT_FALSE(waveBusy());  // played to its end before returning
  EXPECT_EQ(recordedSince(before).size(), 300u);
  EXPECT_NE(testsupport::slurp(transcriptFile()).find("PLAY\t" + g_dir + "\\\\AVISO.WAV\n"), std::string::npos);
}

// A data chunk that claims more than the file holds plays what is there.
TEST_F(WavePlayer, FileShorterThanItsHeaderSaysPlaysWhatItHolds) {
  const Bytes pcm = speech_test::squareWave8(500);
  speech_test::writeFile(g_dir + "/short.wav", speech_test::riff({{"fmt ", speech_test::fmtBody(1, 1, 11025, 8)},
                                                                  {"data", pcm, 100000}}));
  const size_t before = recorded();
  EXPECT_EQ(playWaveFile(g_dir + "/short.wav"), 0);
  Bytes expected = pcm;
  expected.back() = 128;
  EXPECT_EQ(recordedSince(before), expected);
}

// At 192 kHz a block lasts 43 ms: twenty of them fill the 16 places of the
// queue, and playPcm returns once the last one has found a place.
TEST_F(WavePlayer, QueueHoldsSixteenBlocks) {
  const Bytes pcm(20 * kWaveBlockSize, 150);
  const uint64_t start = platform::nowMs();
  ASSERT_EQ(playPcm(pcm, 192000, 1, 8), 0);
  const uint64_t queued = platform::nowMs() - start;
  EXPECT_GE(queued, 4 * 42u);
  EXPECT_LT(queued, 16 * 42u);
  waitWhileSpeaking();
  EXPECT_GE(platform::nowMs() - start, 20 * 42u);
}

TEST_F(WavePlayer, ClickAndBeepReachTheDeviceWhole) {
  size_t before = recorded();
  playClick();
  Bytes click = recordedSince(before);
  ASSERT_EQ(click.size(), 256u);
  for (size_t i = 0; i < 64; ++i) EXPECT_TRUE(click[i] >= 128 && click[i] <= 187) << i;
  EXPECT_EQ(Bytes(click.begin() + 64, click.end()), Bytes(192, 128));

  // The beep throws away the keys waiting, so that it is heard.
  console::pushKey('a');
  console::pushKey('b');
  before = recorded();
  playBeep();
  EXPECT_FALSE(console::keyPressed());
  const Bytes beep = recordedSince(before);
  ASSERT_EQ(beep.size(), 512u);
  EXPECT_EQ(Bytes(beep.begin(), beep.begin() + 8), (Bytes{128, 112, 96, 80, 64, 80, 96, 112}));
  EXPECT_EQ(beep.back(), 128);  // short pieces end on silence

  const std::string transcript = testsupport::slurp(transcriptFile());
  EXPECT_NE(transcript.find("CLICK\t\n"), std::string::npos);
  EXPECT_NE(transcript.find("BEEP\t\n"), std::string::npos);
}

TEST_F(WavePlayer, ShortClickAndBeepFollowTheSetting) {
  writeSettings("[ESCUTA]\nBIPSCLECSCURTOS=Sim\n");
  startSound();
  EXPECT_EQ(clickDivisor(), 2);
  size_t before = recorded();
  playClick();
  const Bytes click = recordedSince(before);
  ASSERT_EQ(click.size(), 256u);  // 128 samples, padded with silence
  EXPECT_EQ(Bytes(click.begin() + 32, click.end()), Bytes(224, 128));
  before = recorded();
  playBeep();
  EXPECT_EQ(recordedSince(before).size(), 256u);

  writeSettings("");
  startSound();
  EXPECT_EQ(clickDivisor(), 1);
  EXPECT_NE(testsupport::slurp(g_dir + "/Escuta.ini").find("BIPSCLECSCURTOS=NAO"), std::string::npos);
}

TEST_F(WavePlayer, OutputDeviceIsChosenByNameWithoutRegardToCase) {
  ASSERT_EQ(listWaveDevices(), std::vector<std::string>{"Saida nula"});
  const struct {
    const char* setting;
    int device;
  } cases[] = {{"", -1}, {"SAIDA NULA", 0}, {"saida nula", 0}, {"outra placa", -1}};
  for (const auto& c : cases) {
    writeSettings(std::string("[TRADUTOR]\nSAIDADEAUDIO=") + c.setting + "\n");
    startSound();
    EXPECT_EQ(waveDeviceNumber(), c.device) << c.setting;
    EXPECT_EQ(playWaveImage(image(speech_test::squareWave8(100))), 0);
    waitWhileSpeaking();
  }
  writeSettings("");
}

// The console's tone is a second voice: added to the wave blocks while both
// play, and recorded on its own otherwise.
TEST_F(WavePlayer, ToneIsMixedWithTheWaveVoice) {
  const size_t before = recorded();
  console::toneOn(1000);  // a square wave of 96 and 160
  const uint64_t until = platform::nowMs() + 50;
  while (platform::nowMs() < until) console::waitMessage(5);
  ASSERT_EQ(playWaveImage(image(Bytes(1000, 200))), 0);
  waitWhileSpeaking();
  console::toneOff();
  const Bytes heard = recordedSince(before);
  size_t mixed = 0;
  for (uint8_t v : heard) {
    if (v == 200 + 32 || v == 200 - 32) {
      ++mixed;
    } else {
      ASSERT_TRUE(v == 96 || v == 160 || v == 128) << int{v};
    }
  }
  EXPECT_EQ(mixed, 999u);  // the wave's last sample is silence
  EXPECT_GT(heard.size(), 1000u + 11025u * 40 / 1000);
}

// A synthesizer's sound comes in slivers far faster than it plays: the player
// takes all of it without waiting, plays it whole and in order, and a stop
// drops what it kept.
TEST_F(WavePlayer, StreamedSoundIsKeptThenPlayedWholeAndAStopDropsIt) {
  const Bytes pcm = speech_test::squareWave8(22050);  // 2 s
  const auto stream = [&pcm] {
    for (size_t at = 0; at < pcm.size(); at += 441) {
      ASSERT_EQ(streamPcm({pcm.data() + at, std::min<size_t>(441, pcm.size() - at)}, 11025, 1, 8), 0);
    }
    endStream();
  };
  const size_t before = recorded();
  const uint64_t start = platform::nowMs();
  stream();
  EXPECT_LT(platform::nowMs() - start, 500u);  // 2 s of sound, taken at once
  EXPECT_TRUE(waveBusy());
  // A recorded sound meanwhile waits for it, never mixing its blocks in.
  const Bytes after(kWaveBlockSize, 200);
  ASSERT_EQ(playWaveImage(image(after)), 0);
  waitWhileSpeaking();
  const Bytes heard = recordedSince(before);
  ASSERT_EQ(heard.size(), pcm.size() + after.size());
  // Only the short blocks (the first two slivers, the tail) end on silence.
  EXPECT_LE(std::inner_product(pcm.begin(), pcm.end(), heard.begin(), 0, std::plus<>(), std::not_equal_to<>()), 3);
  EXPECT_TRUE(std::equal(after.begin(), after.end(), heard.end() - static_cast<std::ptrdiff_t>(after.size())));

  const size_t again = recorded();
  stream();
  waveStop();
  EXPECT_FALSE(waveBusy());
  waitWhileSpeaking();
  EXPECT_LT(recordedSince(again).size(), 882u);
}

// A synthesizer driver that is busy until a set time, and counts its stops.
struct FakeSynth {
  uint64_t busyUntil = 0;
  int stops = 0;
  int opens = 0;
  int pitch = -1;
};
FakeSynth g_fake;

const SynthDriver kFakeDriver{
    [](int, int, int pitch) {
      ++g_fake.opens;
      g_fake.pitch = pitch;
      return true;
    },
    [] {},
    [](std::string_view) {},
    [](bool) { return platform::nowMs() < g_fake.busyUntil; },
    [] {
      ++g_fake.stops;
      g_fake.busyUntil = 0;
    },
};

class SpeechActivity : public WavePlayer {
 protected:
  void SetUp() override {
    WavePlayer::SetUp();
    g_fake = FakeSynth{};
    for (int kind : {3, 4, 5, 54}) setSynthDriver(kind, &kFakeDriver);
  }
  void TearDown() override {
    for (int kind : {3, 4, 5, 54}) setSynthDriver(kind, nullptr);
    WavePlayer::TearDown();
  }
};

TEST_F(SpeechActivity, IsSpeakingCountsTheSynthesizerOnlyWhenActive) {
  g_fake.busyUntil = UINT64_MAX;
  EXPECT_FALSE(isSpeaking());  // none active: the wave player alone
  setSynthActive(true);
  EXPECT_TRUE(isSpeaking());
  g_fake.busyUntil = 0;
  EXPECT_FALSE(isSpeaking());
  ASSERT_EQ(playWaveImage(image(speech_test::squareWave8(2000))), 0);
  EXPECT_TRUE(isSpeaking());  // active, and the wave player busy
}

TEST_F(SpeechActivity, KeyStopsSynthesizerAndWavePlayer) {
  setSynthActive(true);
  g_fake.busyUntil = UINT64_MAX;
  ASSERT_EQ(playWaveImage(image(speech_test::squareWave8(11025))), 0);
  console::pushKey('q');
  EXPECT_FALSE(isSpeaking());
  EXPECT_EQ(g_fake.stops, 1);
  EXPECT_FALSE(waveBusy());
  EXPECT_EQ(console::readKey(), 'q');
}

// The built-in engine is stopped even when it says it is not busy; the
// others only when busy, and nothing is stopped with no synthesizer active.
TEST_F(SpeechActivity, StopSpeechStopsTheSynthesizerByKind) {
  const struct {
    int kind;
    bool active;
    bool busy;
    int stops;
  } cases[] = {{3, true, false, 1}, {5, true, false, 0}, {5, true, true, 1},
               {4, true, true, 1},  {3, false, false, 0}, {54, false, true, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    g_fake = FakeSynth{};
    ASSERT_TRUE(synthOpen(1, 0, 0, c.kind));
    setSynthActive(c.active);
    g_fake.busyUntil = c.busy ? UINT64_MAX : 0;
    clearStopRequest();
    stopSpeech();
    EXPECT_EQ(g_fake.stops, c.stops);
    EXPECT_TRUE(stopRequested());
  }
}

TEST_F(SpeechActivity, RecordedSoundWaitsForTheSynthesizer) {
  setSynthActive(true);
  g_fake.busyUntil = platform::nowMs() + 150;
  setSynthSpeaking();
  const size_t before = recorded();
  const Bytes pcm = speech_test::squareWave8(1100);  // 100 ms
  const uint64_t start = platform::nowMs();
  playImageAndWait(image(pcm));
  EXPECT_GE(platform::nowMs() - start, 230u);
  EXPECT_EQ(recordedSince(before).size(), pcm.size());

  // The flag is cleared: the next sound does not wait again.
  g_fake.busyUntil = platform::nowMs() + 10000;
  setSynthActive(false);
  EXPECT_LT(timed([] { waitForSynth(); }), 50u);
}

TEST_F(SpeechActivity, OpenStoresTheKindAndWaitsUntilTheVoiceIsReady) {
  g_fake.busyUntil = platform::nowMs() + 120;
  const uint64_t start = platform::nowMs();
  ASSERT_TRUE(synthOpen(2, 3, 7, kSynthSapi4));
  EXPECT_GE(platform::nowMs() - start, 100u);
  EXPECT_EQ(synthKind(), kSynthSapi4);
  EXPECT_EQ(g_fake.pitch, 7);

  ASSERT_TRUE(synthOpen(2, 3, 7, 9));  // any other kind is SAPI 5, which takes no pitch
  EXPECT_EQ(g_fake.pitch, 0);

  setSynthDriver(kSynthEngine, nullptr);
  EXPECT_FALSE(synthOpen(1, 3, 7, kSynthEngine));
  EXPECT_EQ(synthKind(), kSynthEngine);
  EXPECT_FALSE(synthBusy(false));
}

}  // namespace
}  // namespace speech
