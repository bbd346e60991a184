// Latency of the wave player on the device the options choose: from a play
// request to the first sample handed to the device, and from a key entering
// the queue during playback to the device falling silent. Prints medians.
//   sound_bench                 both: the null device, then SDL audio (its
//                               disk driver unless SDL_AUDIODRIVER is set)
//   sound_bench [options]       one run, e.g. --frontend headless --audio-device
// Run by hand; not a test.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "console/keyboard.h"
#include "console/program.h"
#include "console/screen.h"
#include "platform/base/wave_header.h"
#include "platform/platform.h"
#include "speech/speech_activity.h"
#include "speech/speech_service.h"
#include "speech/wave_player.h"
#include "device_latency.h"

namespace {

constexpr int kTrials = 60;

struct Stats {
  double median, p90, max;
};

Stats stats(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.back()};
}

void print(const char* what, const Stats& s) {
  std::printf("  %-34s median %6.2f ms   p90 %6.2f ms   max %6.2f ms\n", what, s.median, s.p90, s.max);
}

int measure(int argc, char** argv) {
  platform::Options options;
  if (const int status = console::startProgram(argc, argv, "", options); status >= 0) return status;
  speech::startSpeechModules();

  const std::vector<uint8_t> shortSound = bench::tone(40);
  const std::vector<uint8_t> longSound = bench::tone(2000);
  std::vector<double> start, stop;
  for (int i = 0; i < kTrials; ++i) {
    // Requests fall anywhere in the device's buffer period, not just after
    // the callback that ended the previous sound.
    platform::sleepMs((i * 7) % 11);
    const int64_t t0 = platform::clockUs();
    if (speech::playWaveImage(shortSound) != 0) {
      std::printf("  the device cannot be opened\n");
      return 1;
    }
    start.push_back(static_cast<double>(bench::deviceTimeAfter(t0, &platform::AudioTimes::startedUs) - t0) / 1000);
    speech::waitWhileSpeaking();

    speech::playWaveImage(longSound);
    stop.push_back(bench::keyToSilenceMs(i));
  }
  std::printf("%s (%d trials)\n", options.audioDevice ? "SDL audio device" : "null device", kTrials);
  print("play request -> first sample", stats(start));
  print("key in queue -> device silent", stats(stop));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) return measure(argc, argv);
  const std::string self = argv[0];
  int status = std::system((self + " --frontend headless").c_str());
  if (!std::getenv("SDL_AUDIODRIVER")) {
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    std::printf("(SDL's disk driver)\n");
    std::fflush(stdout);
  }
  status |= std::system((self + " --frontend headless --audio-device").c_str());
  return status == 0 ? 0 : 1;
}
