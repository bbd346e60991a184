// Latency of the speech service: from a key entering the queue while the
// program waits in echoKey to the first sample of its letter file handed to
// the device, and from process start to the first sample of the first
// utterance. Prints medians for the null device and for SDL audio.
//   speech_bench                     everything, both devices
//   speech_bench echo|first [options]  one measurement (run by the above)
// Run by hand; not a test.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "console/keyboard.h"
#include "console/program.h"
#include "platform/audio_device.h"
#include "platform/platform.h"
#include "speech/speech_activity.h"
#include "speech/speech_service.h"
#include "device_latency.h"

namespace {

constexpr int kEchoTrials = 40;
constexpr int kStartTrials = 15;

using bench::median;

// The program's own start, as every talking program makes it.
int startSpeaking(int argc, char** argv) {
  platform::Options options;
  if (const int status = console::startProgram(argc, argv, "", options); status >= 0) return status;
  speech::startSpeechModules();
  speech::initSpeech(0, "");
  return -1;
}

int measureEcho(int argc, char** argv) {
  if (const int status = startSpeaking(argc, argv); status >= 0) return status;
  std::vector<double> ms;
  for (int i = 0; i < kEchoTrials; ++i) {
    platform::sleepMs(i % 7);
    const int64_t t0 = platform::clockUs();
    console::pushKey(static_cast<uint8_t>('a' + i % 26));
    speech::echoKey();
    ms.push_back(static_cast<double>(bench::deviceTimeAfter(t0, &platform::AudioTimes::startedUs) - t0) / 1000);
    speech::waitWhileSpeaking();
  }
  std::printf("%.3f\n", median(ms));
  return 0;
}

// The device keeps when its latest run of sound began, and an utterance is
// several runs (its pauses between): the first is caught while it speaks.
int measureFirst(int argc, char** argv) {
  if (const int status = startSpeaking(argc, argv); status >= 0) return status;
  std::atomic<bool> spoken{false};
  int64_t first = 0;
  std::thread watch([&] {
    while (!spoken && (first = platform::backend().audio().times().startedUs) == 0) std::this_thread::yield();
  });
  speech::sayLine("Bom dia.");
  spoken = true;
  watch.join();
  std::printf("%lld\n", static_cast<long long>(first));
  return 0;
}

// Runs this program again with the arguments; its one line of output.
double child(const std::string& self, const std::string& args) {
  FILE* p = ::popen((self + " " + args + " 2>/dev/null").c_str(), "r");
  if (!p) return -1;
  char line[64] = {0};
  const bool got = std::fgets(line, sizeof line, p) != nullptr;
  ::pclose(p);
  return got ? std::atof(line) : -1;
}

void report(const std::string& self, const char* device, const std::string& options) {
  std::vector<double> starts;
  for (int i = 0; i < kStartTrials; ++i) {
    const int64_t t0 = platform::clockUs();
    const double first = child(self, "first " + options);
    if (first > 0) starts.push_back((first - static_cast<double>(t0)) / 1000);
  }
  const double echo = child(self, "echo " + options);
  std::printf("%s\n  key in queue -> first sample of its echo  median %7.2f ms  (goal < 5)\n", device, echo);
  if (!starts.empty()) {
    std::printf("  process start -> first sample spoken      median %7.2f ms  (goal < 100)\n", median(starts));
  }
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "echo") return measureEcho(argc - 1, argv + 1);
  if (mode == "first") return measureFirst(argc - 1, argv + 1);
  const std::string self = argv[0];
  report(self, "null device (headless)", "--frontend headless");
  if (!std::getenv("SDL_AUDIODRIVER")) {
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
  }
  report(self, "SDL audio device", "--frontend headless --audio-device");
  return 0;
}
