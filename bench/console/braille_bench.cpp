// Latency of the braille display line: from a screen change (a letter the
// line editor echoes) to its row's cells shown by BRLTTY, beside the speech
// echo of the same key (from the key taken to the feedback handed to the
// speech output), in the same run. BRLTTY is started privately with its
// Virtual driver, as the tests do; the bench is its display, so a row counts
// once BRLTTY has passed it on to the display, its own work included. Keys
// come from a key script on the headless clock. Prints median and worst of
// both, and their ratio. Run by hand; not a test.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "console/braille_line.h"
#include "console/program.h"
#include "console/screen.h"
#include "controls/line_editor.h"
#include "platform/clock.h"
#include "platform/platform.h"
#include "speech/speech_service.h"
#include "speech/synth_dispatch.h"
#include "support/brltty.h"

namespace {

constexpr int kTrials = 40;
constexpr int kGapMs = 600;  // between keys: each echo has been handed on before the next key
constexpr int kCells = 80;   // every echoed letter changes the display

struct Figures {
  double median = -1, worst = -1;
};

Figures figuresOf(std::vector<double> v) {
  if (v.empty()) return {};
  std::sort(v.begin(), v.end());
  return {v[v.size() / 2], v.back()};
}

struct Moments {
  std::mutex lock;
  std::vector<int64_t> keys, echoes, draws, rows;
};

Moments g_moments;

// The console draws a row just before it sends it to the display; only a
// row that changed is a screen change.
void rowDrawn(int row) {
  const int64_t now = platform::clockUs();
  static std::string last;
  std::string text;
  for (int column = 1; column <= 80; ++column) text += static_cast<char>(console::cellChar(column, row));
  if (text == last) return;
  last = text;
  std::lock_guard guard(g_moments.lock);
  g_moments.draws.push_back(now);
}

// The transcript: when each key was taken, and when the first feedback the
// speech output started on after it (a letter played, a text said) came.
void followTranscript(int fd, Moments& m, std::atomic<bool>& done) {
  std::string pending;
  bool echoDue = false;
  char buffer[4096];
  while (!done) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) continue;
    const int64_t now = platform::clockUs();
    pending.append(buffer, static_cast<size_t>(n));
    for (size_t nl; (nl = pending.find('\n')) != std::string::npos; pending.erase(0, nl + 1)) {
      const std::string event = pending.substr(0, pending.find('\t'));
      std::lock_guard guard(m.lock);
      if (event == "KEY") {
        m.keys.push_back(now);
        echoDue = true;
      } else if (echoDue && (event == "PLAY" || event == "SAY")) {
        m.echoes.push_back(now);
        echoDue = false;
      }
    }
  }
}

// The display: when each new row came.
void followDisplay(testsupport::PrivateBrltty& brltty, Moments& m, std::atomic<bool>& done) {
  while (!done) {
    const std::string last = brltty.shown();
    if (!brltty.waitForOther(last, 100)) continue;
    std::lock_guard guard(m.lock);
    m.rows.push_back(platform::clockUs());
  }
}

// For each key, the first echo that follows it (before the next key), in
// milliseconds.
std::vector<double> echoLatencies(const std::vector<int64_t>& keys, const std::vector<int64_t>& echoes) {
  std::vector<double> out;
  for (size_t i = 0; i < keys.size(); ++i) {
    const int64_t next = i + 1 < keys.size() ? keys[i + 1] : INT64_MAX;
    const auto it = std::lower_bound(echoes.begin(), echoes.end(), keys[i]);
    if (it != echoes.end() && *it < next) out.push_back(static_cast<double>(*it - keys[i]) / 1000);
  }
  return out;
}

// For each row the display showed after the first key, from the first screen
// change it did not show yet, in milliseconds.
std::vector<double> rowLatencies(int64_t firstKey, const std::vector<int64_t>& draws,
                                 const std::vector<int64_t>& rows) {
  std::vector<double> out;
  int64_t shownUpTo = firstKey;
  for (const int64_t row : rows) {
    const auto it = std::upper_bound(draws.begin(), draws.end(), shownUpTo);
    if (row > firstKey && it != draws.end() && *it <= row) out.push_back(static_cast<double>(row - *it) / 1000);
    shownUpTo = std::max(shownUpTo, row);
  }
  return out;
}

}  // namespace

int main(int, char** argv) {
  testsupport::PrivateBrltty brltty(kCells);
  // BRLTTY's own start message shows once it serves.
  if (!brltty.ready() || !brltty.waitForOther("")) {
    std::fprintf(stderr, "braille_bench: BRLTTY did not start (is brltty installed?)\n");
    return 1;
  }
  setenv("BRLAPI_HOST", brltty.host().c_str(), 1);
  setenv("BRLAPI_AUTH", brltty.keyFile().c_str(), 1);
  const std::string keys = "/tmp/braille_bench_" + std::to_string(getpid()) + ".keys";
  {
    std::ofstream k(keys);
    for (int i = 0; i < kTrials; ++i) k << "wait " << kGapMs << "\ntype x\n";
    k << "key Enter\n";
  }
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return 1;
  std::vector<std::string> args{argv[0], "--frontend", "headless", "--braille", "--keys", keys, "--transcript",
                                "/dev/fd/" + std::to_string(pipeFds[1])};
  std::vector<char*> args_;
  for (std::string& a : args) args_.push_back(a.data());
  platform::Options options;
  if (const int status = console::startProgram(static_cast<int>(args_.size()), args_.data(), "", options);
      status >= 0) {
    return status;
  }
  speech::startSpeechModules();
  speech::initSpeech(0, "");
  console::ensureConsole();
  if (!console::brailleLineOn()) {
    std::fprintf(stderr, "braille_bench: the program did not reach the display\n");
    return 1;
  }
  Moments& moments = g_moments;
  console::setRowDrawnHook(rowDrawn);
  std::atomic<bool> done = false;
  std::thread transcript(followTranscript, pipeFds[0], std::ref(moments), std::ref(done));
  std::thread display(followDisplay, std::ref(brltty), std::ref(moments), std::ref(done));
  std::string text;
  controls::editLine(text, 1, 1, 2048);
  platform::sleepMs(200);  // the last row reaches the display
  done = true;
  transcript.join();
  display.join();
  std::remove(keys.c_str());

  if (moments.keys.empty()) return 1;
  const std::vector<double> rows = rowLatencies(moments.keys.front(), moments.draws, moments.rows);
  const std::vector<double> echoes = echoLatencies(moments.keys, moments.echoes);
  const Figures braille = figuresOf(rows), speech = figuresOf(echoes);
  std::printf("%zu keys typed into the line editor, %d-cell display\n", moments.keys.size(), kCells);
  std::printf("screen change -> cells shown by BRLTTY  median %7.3f ms  worst %7.3f ms  over %zu rows (goal < 5)\n",
              braille.median, braille.worst, rows.size());
  std::printf("key -> speech echo                      median %7.3f ms  worst %7.3f ms  over %zu keys\n",
              speech.median, speech.worst, echoes.size());
  if (speech.median > 0 && speech.worst > 0) {
    std::printf("braille / speech                        median %7.2f x   worst %7.2f x\n", braille.median / speech.median,
                braille.worst / speech.worst);
  }
  return 0;
}
