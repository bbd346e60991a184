// sound_probe: plays sounds the way a program does, for the end-to-end tests
// and by hand (with --frontend sdl a key silences it).
//   sound_probe [options] [--] ACTION...
// Actions, in order: play:FILE (to its end or a key; prints "play RESULT MS"),
// image:FILE (the file's bytes as a wave image, not waited for), key (reads
// one key; prints "key TEXT MS"), click, beep, fast and cut (speed-ups on),
// silence (waits until nothing is said). MS: milliseconds since the action
// began.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "console/keyboard.h"
#include "platform/platform.h"
#include "speech/click_beep.h"
#include "speech/speech_activity.h"
#include "speech/speech_service.h"
#include "speech/wave_player.h"
#include "support/probe_main.h"

namespace {

std::vector<uint8_t> fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Images played without waiting must outlive the call.
std::vector<std::vector<uint8_t>> g_images;

bool run(const std::string& action) {
  const uint64_t start = platform::nowMs();
  auto since = [&] { return static_cast<unsigned long long>(platform::nowMs() - start); };
  if (action.rfind("play:", 0) == 0) {
    const int result = speech::playWaveFile(action.substr(5));
    std::printf("play %d %llu\n", result, since());
  } else if (action.rfind("image:", 0) == 0) {
    g_images.push_back(fileBytes(action.substr(6)));
    std::printf("image %d\n", speech::playWaveImage(g_images.back()));
  } else if (action == "key") {
    const uint8_t code = console::readKey();
    const int scan = code == 0 ? console::readKey() : -1;
    std::printf("key %s %llu\n", console::keyCodeText(code, scan, false).c_str(), since());
  } else if (action == "click") {
    speech::playClick();
  } else if (action == "beep") {
    speech::playBeep();
  } else if (action == "fast") {
    speech::setFastRate(true);
  } else if (action == "cut") {
    speech::setPitchCutting(true);
  } else if (action == "silence") {
    speech::waitWhileSpeaking();
  } else {
    std::fprintf(stderr, "sound_probe: unknown action %s\n", action.c_str());
    return false;
  }
  std::fflush(stdout);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  return testsupport::runProbe(argc, argv, testsupport::ProbeSpeech::ModulesOnly, run);
}
