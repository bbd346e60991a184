// Latency of the controls: from a key taken by the line editor, or by a
// menu of 1000 items, while it waits for one, to its spoken feedback handed
// to the speech output (the typed letter's echo; the next item's name).
// Keys come from a key script on the headless clock; both moments are read
// from the transcript, which a thread follows through a pipe. Prints
// medians. Run by hand; not a test.
//   controls_bench [editor|menu]
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "console/program.h"
#include "controls/line_editor.h"
#include "controls/menu.h"
#include "platform/audio_device.h"
#include "platform/platform.h"
#include "speech/speech_service.h"
#include "speech/synth_dispatch.h"

namespace {

constexpr int kTrials = 40;
constexpr int kGapMs = 1100;  // between keys: each sound ends, and the next starts from silence

double median(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Follows the transcript: each key taken, then the first feedback the
// speech output starts on (a letter or piece played, a text said, a beep or
// a click), gives one latency in milliseconds. Both lines come through the
// same pipe, read in a spin without blocking, so their delay cancels; a
// 0 means both were written before the follower's next read.
void followKeys(int fd, std::vector<double>& latencies, std::atomic<bool>& done) {
  fcntl(fd, F_SETFL, O_NONBLOCK);
  std::string pending;
  int64_t keyAt = -1;
  char buffer[4096];
  while (!done) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) continue;
    const int64_t now = platform::clockUs();
    pending.append(buffer, static_cast<size_t>(n));
    for (size_t nl; (nl = pending.find('\n')) != std::string::npos; pending.erase(0, nl + 1)) {
      const std::string event = pending.substr(0, pending.find('\t'));
      if (event == "KEY") {
        keyAt = now;
      } else if (keyAt >= 0 && (event == "PLAY" || event == "SAY" || event == "BEEP" || event == "CLICK")) {
        latencies.push_back(static_cast<double>(now - keyAt) / 1000);
        keyAt = -1;
      }
    }
  }
}

int measure(const std::string& what, const std::string& self) {
  const std::string keys = "/tmp/controls_bench_" + std::to_string(getpid()) + ".keys";
  {
    std::ofstream k(keys);
    for (int i = 0; i < kTrials; ++i) k << "wait " << kGapMs << "\n" << (what == "menu" ? "key Down\n" : "type x\n");
    k << "key Enter\n";
  }
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return 1;
  std::vector<std::string> args{self, "--frontend", "headless", "--keys", keys, "--transcript",
                                "/dev/fd/" + std::to_string(pipeFds[1])};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  platform::Options options;
  if (const int status = console::startProgram(static_cast<int>(argv.size()), argv.data(), "", options); status >= 0) {
    return status;
  }
  speech::startSpeechModules();
  speech::initSpeech(0, "");
  std::vector<double> latencies;
  std::atomic<bool> done = false;
  std::thread follower(followKeys, pipeFds[0], std::ref(latencies), std::ref(done));
  if (what == "menu") {
    controls::createMenu(1, 1, 30, 20);
    for (int i = 1; i <= 1000; ++i) controls::addMenuItem("item " + std::to_string(i));
    controls::runMenu(500);
  } else {
    std::string text;
    controls::editLine(text, 1, 1, 2048);
  }
  done = true;
  follower.join();
  std::remove(keys.c_str());
  std::printf("%-36s median %7.3f ms over %zu keys  (goal < 5)\n",
              what == "menu" ? "menu of 1000 items: key -> next item" : "line editor: key -> its echo",
              median(latencies), latencies.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  if (what == "editor" || what == "menu") return measure(what, argv[0]);
  const std::string self = argv[0];
  for (const char* each : {"editor", "menu"}) {
    if (std::system((self + " " + each).c_str()) != 0) return 1;
  }
  return 0;
}
