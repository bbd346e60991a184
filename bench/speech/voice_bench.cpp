// Latency of the system voices beside the recorded voice, in the same run, on
// the null device: from speakText to the first sample handed to the device,
// from a key in the queue to the device falling silent, and from a key to
// the first sample of its echo after an utterance, for the recorded voice and
// for eSpeak NG (kind 4; goal: within 2 times the recorded voice's
// figures). For speech-dispatcher (kind 5), started privately as the tests
// start it: what our side adds to a bare client's say and cancel (goal: under
// 5 ms), and the server's own say -> begin, as measured.
// Run by hand; not a test.
#include <speech-dispatcher/libspeechd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "console/keyboard.h"
#include "console/program.h"
#include "console/screen.h"
#include "platform/audio_device.h"
#include "platform/base/wave_header.h"
#include "platform/platform.h"
#include "speech/speech_activity.h"
#include "speech/speech_service.h"
#include "speech/wave_player.h"
#include "device_latency.h"
#include "support/speech_servers.h"

namespace {

constexpr int kTrials = 20;
constexpr char kShort[] = "Bom dia.";
constexpr char kLong[] =
    "Era uma vez um menino que morava numa casa muito grande, perto de um rio largo e calmo, onde passava as tardes.";

using bench::deviceTimeAfter;
using bench::median;

double msSince(int64_t t0) { return static_cast<double>(platform::clockUs() - t0) / 1000; }

// speakText -> first sample, caught by a watcher while the voice speaks.
double firstSample() {
  std::vector<double> ms;
  for (int i = 0; i < kTrials; ++i) {
    platform::sleepMs(i % 7);
    const int64_t t0 = platform::clockUs();
    int64_t first = 0;
    std::thread watch([&] { first = deviceTimeAfter(t0, &platform::AudioTimes::startedUs); });
    speech::speakText(kShort);
    watch.join();
    ms.push_back(static_cast<double>(first - t0) / 1000);
    speech::waitWhileSpeaking();
  }
  return median(ms);
}

// A key after an utterance -> the first sample of its echo, a letter file
// (another sound format than eSpeak NG's).
double echo() {
  std::vector<double> ms;
  for (int i = 0; i < kTrials; ++i) {
    speech::speakText(kShort);
    speech::waitWhileSpeaking();
    platform::sleepMs(i % 7);
    const int64_t t0 = platform::clockUs();
    console::pushKey(static_cast<uint8_t>('a' + i % 26));
    speech::echoKey();
    ms.push_back(static_cast<double>(deviceTimeAfter(t0, &platform::AudioTimes::startedUs) - t0) / 1000);
    speech::waitWhileSpeaking();
  }
  return median(ms);
}

// A key while `start` has sound playing -> the device silent.
double keyToSilence(const std::function<void()>& start) {
  std::vector<double> ms;
  for (int i = 0; i < kTrials; ++i) {
    start();
    ms.push_back(bench::keyToSilenceMs(i));
  }
  return median(ms);
}

void local() {
  speech::configureSynth(3, false, 0, 0, 0, 0);
  const double recordedFirst = firstSample();
  const std::vector<uint8_t> sound = bench::tone(2000);
  const double recordedStop = keyToSilence([&] { speech::playWaveImage(sound); });
  const double recordedEcho = echo();
  speech::configureSynth(3, true, 4, 0, 0, 1);
  const double espeakFirst = firstSample();
  const double espeakStop = keyToSilence([] { speech::speakText(kLong); });
  const double espeakEcho = echo();
  std::printf("null device, medians of %d\n", kTrials);
  std::printf("  speakText -> first sample   recorded %7.2f ms   eSpeak NG %7.2f ms   ratio %5.2f  (goal <= 2)\n",
              recordedFirst, espeakFirst, espeakFirst / recordedFirst);
  std::printf("  key -> device silent        recorded %7.2f ms   eSpeak NG %7.2f ms   ratio %5.2f  (goal <= 2)\n",
              recordedStop, espeakStop, espeakStop / recordedStop);
  std::printf("  key -> its echo's sample    recorded %7.2f ms   eSpeak NG %7.2f ms   ratio %5.2f  (goal <= 2)\n",
              recordedEcho, espeakEcho, espeakEcho / recordedEcho);
}

std::atomic<int64_t> g_begun{0};
void onBegin(size_t, size_t, SPDNotificationType) { g_begun = platform::clockUs(); }

// A bare client's say, its begin, and its cancel, beside ours.
void dispatcher() {
  speech::configureSynth(3, true, 5, 0, 0, 1);
  char* error = nullptr;
  SPDConnection* bare = spd_open2("voice_bench", "bare", nullptr, SPD_MODE_THREADED, nullptr, 0, &error);
  if (!bare) {
    std::printf("speech-dispatcher: no connection: %s\n", error ? error : "");
    return;
  }
  bare->callback_begin = onBegin;
  spd_set_notification_on(bare, SPD_BEGIN);
  std::vector<double> bareSay, bareBegin, bareCancel, oursSay, oursCancel;
  for (int i = 0; i < kTrials; ++i) {
    g_begun = 0;
    int64_t t0 = platform::clockUs();
    spd_say(bare, SPD_MESSAGE, kShort);
    bareSay.push_back(msSince(t0));
    while (g_begun == 0 && msSince(t0) < 2000) std::this_thread::sleep_for(std::chrono::microseconds(200));
    bareBegin.push_back(static_cast<double>(g_begun - t0) / 1000);
    t0 = platform::clockUs();
    spd_cancel(bare);
    bareCancel.push_back(msSince(t0));

    t0 = platform::clockUs();
    speech::speakText(kShort);
    oursSay.push_back(msSince(t0));
    platform::sleepMs(100);
    console::pushKey(' ');
    t0 = platform::clockUs();
    speech::isSpeaking();  // the key stops it: cancel
    oursCancel.push_back(msSince(t0));
    console::readKey();
    platform::sleepMs(100);
  }
  spd_close(bare);
  std::printf("speech-dispatcher (private server), medians of %d\n", kTrials);
  std::printf("  say:    bare client %6.2f ms   ours %6.2f ms   added %6.2f ms  (goal < 5)\n", median(bareSay),
              median(oursSay), median(oursSay) - median(bareSay));
  std::printf("  cancel: bare client %6.2f ms   ours %6.2f ms   added %6.2f ms  (goal < 5)\n", median(bareCancel),
              median(oursCancel), median(oursCancel) - median(bareCancel));
  std::printf("  the server's say -> begin: %6.2f ms (outside our control)\n", median(bareBegin));
}

}  // namespace

int main(int argc, char** argv) {
  testsupport::SpeechServers servers;
  if (servers.ok()) {
    ::setenv("SPEECHD_ADDRESS", servers.address().c_str(), 1);
    ::setenv("SPEECHD_CMD", "/bin/false", 1);
  }
  std::vector<char*> args(argv, argv + argc);
  char frontend[] = "--frontend", headless[] = "headless";
  args.insert(args.begin() + 1, {frontend, headless});
  platform::Options options;
  if (const int status = console::startProgram(static_cast<int>(args.size()), args.data(), "", options); status >= 0)
    return status;
  speech::startSpeechModules();
  speech::initSpeech(0, "");
  local();
  if (servers.ok()) dispatcher();
  else std::printf("speech-dispatcher: the private server did not start\n");
  speech::shutdownSpeech();
  return 0;
}
