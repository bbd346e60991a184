// Latency of the accessibility events: from a Tab key (XTest) that moves the
// focus in the GTK test window to a roteiro script that has read the event
// with MSAA CHECA and its object's name with MSAA NOME, beside the peer: a
// bare libatspi listener in this process, which sees the same event as the
// bus delivers it. The script's moment is its transcript line, read through
// a pipe. Prints the median and the worst of each and their ratio. Run by
// hand; not a test.
#include <atspi/atspi.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "atspi_stack.h"
#include "support/scratch.h"
#include "x_desktop.h"

// Last: Xlib's macros would clash with the names above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTrials = 40;
constexpr int kGapMs = 300;  // between keys: every event of one key is in before the next

std::mutex g_mutex;
std::vector<Clock::time_point> g_peerSeen;    // focus gained, at the listener
std::vector<Clock::time_point> g_scriptSeen;  // an event's name, in the transcript

void onFocus(AtspiEvent* event, void*) {
  if (event->detail1 == 1) {
    std::lock_guard lock(g_mutex);
    g_peerSeen.push_back(Clock::now());
  }
  g_boxed_free(ATSPI_TYPE_EVENT, event);
}

void listenAsPeer(std::atomic<bool>& ready) {
  if (atspi_init() >= 2) return;
  AtspiEventListener* listener = atspi_event_listener_new(onFocus, nullptr, nullptr);
  atspi_event_listener_register(listener, "object:state-changed:focused", nullptr);
  ready = true;
  atspi_event_main();
}

// The script's findings ("SHOW\t=" lines) as they come through the pipe.
void followTranscript(int fd, std::atomic<bool>& started) {
  std::string pending;
  char buffer[4096];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) {
    const Clock::time_point now = Clock::now();
    pending.append(buffer, static_cast<size_t>(n));
    for (size_t nl; (nl = pending.find('\n')) != std::string::npos; pending.erase(0, nl + 1)) {
      const std::string line = pending.substr(0, nl);
      if (!line.starts_with("SHOW\t=")) continue;
      if (line.starts_with("SHOW\t=pronto")) {
        started = true;
        continue;
      }
      std::lock_guard lock(g_mutex);
      g_scriptSeen.push_back(now);
    }
  }
}

// The first moment after `from` in `seen`, in milliseconds; -1 when none.
double firstAfter(const std::vector<Clock::time_point>& seen, Clock::time_point from) {
  std::lock_guard lock(g_mutex);
  for (const Clock::time_point t : seen) {
    if (t >= from) return std::chrono::duration<double, std::milli>(t - from).count();
  }
  return -1;
}

void report(const char* what, std::vector<double> v) {
  std::sort(v.begin(), v.end());
  if (v.empty()) {
    std::printf("%-36s no events\n", what);
    return;
  }
  std::printf("%-36s median %6.2f ms  worst %6.2f ms  (%zu events)\n", what, v[v.size() / 2], v.back(), v.size());
}

}  // namespace

int main() {
  testsupport::XDesktop desktop;
  if (!desktop.ready()) {
    std::fprintf(stderr, "atspi_bench: no Xvfb with openbox\n");
    return 1;
  }
  testsupport::AtspiStack stack(desktop);
  if (!stack.ready()) {
    std::fprintf(stderr, "atspi_bench: no accessibility bus or no GTK window\n");
    return 1;
  }
  std::atomic<bool> peerReady = false;
  std::thread(listenAsPeer, std::ref(peerReady)).detach();

  testsupport::ScratchDir dir;
  std::ofstream(dir / "Escuta.ini") << "[ESCUTA]\r\nCANTOTELA=S\r\n";
  std::ofstream(dir / "bench.txt", std::ios::binary)
      << "TITULO \"Piloto\"\r\nMSAA MONITORA\r\nJANELA NORMAL \"alvo at-spi\"\r\nESPERA 10, \"alvo at-spi\"\r\n"
         "ESCREVE MUDO \"=pronto\"\r\nENQUANTO 1 = 1\r\n  MSAA CHECA E\r\n  SE E = 1\r\n    MSAA NOME A\r\n"
         "    ESCREVE MUDO \"=\" A\r\n  FIM SE\r\n  ESPERA MS 1\r\nFIM ENQUANTO\r\n";
  const std::string fifo = dir / "transcript";
  mkfifo(fifo.c_str(), 0600);
  const pid_t script = testsupport::spawn({ROTEIRO, "--frontend", "sdl", "--config-dir", dir.path(), "--transcript",
                                           fifo, "--time-limit", "600", dir / "bench.txt"},
                                          dir / "roteiro.err");
  const int fd = open(fifo.c_str(), O_RDONLY);
  std::atomic<bool> started = false;
  std::thread(followTranscript, fd, std::ref(started)).detach();
  for (int waited = 0; waited < 20000 && !(started && peerReady); waited += 50) usleep(50000);
  if (!started || !peerReady) {
    std::fprintf(stderr, "atspi_bench: the script or the peer listener did not start\n");
    testsupport::stop(script);
    return 1;
  }
  usleep(1000000);

  Display* d = XOpenDisplay(desktop.display().c_str());
  const KeyCode tab = XKeysymToKeycode(d, XK_Tab);
  std::vector<double> scriptMs, peerMs;
  for (int i = 0; i < kTrials; ++i) {
    const Clock::time_point pressed = Clock::now();
    XTestFakeKeyEvent(d, tab, True, 0);
    XTestFakeKeyEvent(d, tab, False, 0);
    XFlush(d);
    usleep(kGapMs * 1000);
    if (const double ms = firstAfter(g_scriptSeen, pressed); ms >= 0) scriptMs.push_back(ms);
    if (const double ms = firstAfter(g_peerSeen, pressed); ms >= 0) peerMs.push_back(ms);
  }
  XCloseDisplay(d);
  testsupport::stop(script);

  std::printf("Tab in the GTK window -> event, %d keys:\n", kTrials);
  report("script (MSAA CHECA and NOME)", scriptMs);
  report("peer (bare libatspi listener)", peerMs);
  if (!scriptMs.empty() && !peerMs.empty()) {
    std::sort(scriptMs.begin(), scriptMs.end());
    std::sort(peerMs.begin(), peerMs.end());
    std::printf("ratio of medians script/peer: %.2f (goal: script under 20 ms)\n",
                scriptMs[scriptMs.size() / 2] / peerMs[peerMs.size() / 2]);
  }
  return 0;
}
