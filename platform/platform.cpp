#include "platform/platform.h"

#include "platform/clock.h"

#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/audio_record.h"
#include "platform/base/printable.h"
#include "platform/braille_display.h"
#include "platform/exit_signals.h"
#include "platform/output_file.h"
#include "platform/keyscript.h"
#include "platform/transcript.h"

#ifndef ESCUTA_VERSION
#define ESCUTA_VERSION "0"
#endif

namespace platform {

extern const BackendEntry kSdlBackend;
extern const BackendEntry kTtyBackend;
extern const BackendEntry kHeadlessBackend;

namespace {

// Tried in order when no backend is asked for; the first available wins.
const BackendEntry* const kBackends[] = {&kSdlBackend, &kTtyBackend, &kHeadlessBackend};

struct State {
  std::string program;  // as it was started, for its messages
  std::unique_ptr<Backend> backend;
  bool headless = false;
  uint64_t deadline = 0;  // headless time limit on the clock; 0 = none
  bool keyScriptGiven = false;
  std::ifstream keyFile;
  std::unique_ptr<KeyScriptReader> keys;
  std::optional<KeyStep> step;  // the key script's next step, read ahead; none at its end
  uint64_t lastStep = 0;  // when the previous key-script instruction was carried out
  std::deque<Event> pending;
  bool awaiting = false;
};

State g;

uint64_t clockMs() { return static_cast<uint64_t>(clockUs() / 1000); }

const uint64_t g_epoch = clockMs();

// Programs a script starts get the backend, the settings and the data root,
// but never another program's transcript, keys, recording or screen dump.
void prepareChildEnvironment(const Options& options) {
  ::setenv("ESCUTA_FRONTEND", g.backend->name(), 1);
  if (options.clockSpeed != 1) ::setenv("ESCUTA_CLOCK_SPEED", std::to_string(options.clockSpeed).c_str(), 1);
  // Absolute, so that a change of directory, here or in a child, keeps it.
  if (!options.configDir.empty()) {
    std::error_code error;
    const std::filesystem::path dir = std::filesystem::absolute(options.configDir, error);
    ::setenv("ESCUTA_CONFIG_DIR", error ? options.configDir.c_str() : dir.c_str(), 1);
  }
  for (const char* v : {"ESCUTA_KEYS", "ESCUTA_TRANSCRIPT", "ESCUTA_AUDIO_OUT", "ESCUTA_SCREEN_OUT"}) ::unsetenv(v);
}

bool soundPlaying() { return g.backend->audio().wavePlaying(); }

void readAheadKeyScript() {
  KeyStep step;
  std::string error;
  if (g.keys && g.keys->next(step, error)) {
    g.step = std::move(step);
    return;
  }
  // Checked whole at the start: a fault now means the file changed since.
  if (!error.empty()) printError(g.program, error);
  g.step.reset();
  g.keys.reset();
}

// Moves the next key-script step into the pending events when it is due;
// returns how long until a timed step is due (-1: nothing timed ahead).
// A plain key waits until the program blocks for one and the sound has
// ended, as a user who listens to everything.
int feedKeyScript() {
  if (!g.step || !g.pending.empty()) return -1;
  const KeyStep& step = *g.step;
  const uint64_t now = nowMs();
  bool due = false;
  if (step.waitMs >= 0) {
    const uint64_t at = g.lastStep + static_cast<uint64_t>(step.waitMs);
    if (now < at) return static_cast<int>(at - now);
    due = true;
  } else {
    if (g.awaiting && soundPlaying()) return -1;
    due = g.awaiting;
  }
  if (!due) return -1;
  // One key per blocking read: the program asks again. A timed key answers
  // the read too, so that the end of the script is not announced while its
  // last key is still on its way to the queue.
  g.awaiting = false;
  g.pending.insert(g.pending.end(), step.events.begin(), step.events.end());
  g.lastStep = now;
  readAheadKeyScript();
  return -1;
}

}  // namespace

int start(int argc, char** argv, const std::string& usage, Options& options) {
  // Messages name the program as its user calls it, not by where it was found.
  const std::string program =
      argc > 0 && *argv[0] ? std::filesystem::path(argv[0]).filename().string() : "escuta";
  g.program = program;
  std::string error;
  switch (parseOptions(argc, argv, options, error)) {
    case ParseResult::Help:
      std::fputs(helpText(program, usage).c_str(), stdout);
      return 0;
    case ParseResult::Version:
      std::printf("%s %s\n", program.c_str(), ESCUTA_VERSION);
      return 0;
    case ParseResult::Error:
      printError(program, error);
      return 2;
    case ParseResult::Run:
      break;
  }
  endOnSignals();
  failExitOnLostOutput();
  for (const BackendEntry* entry : kBackends) {
    if (!options.frontend.empty() && options.frontend != entry->name) continue;
    if (!entry->available()) continue;
    g.backend = entry->create(options);
    if (g.backend) break;
  }
  if (!g.backend) {
    printError(program, "the " + (options.frontend.empty() ? std::string("default") : options.frontend) +
                            " frontend is not available here");
    return 2;
  }
  // The window and the sound close while the libraries they came from are
  // loaded: left to the unloading of this library, they would call into X
  // after it was finalised, which depends on the order libraries unload.
  std::atexit([] { g.backend->shutdown(); });
  g.headless = std::string(g.backend->name()) == "headless";
  allowHeadlessBraille(options.braille);
  if (g.headless) setClockSpeed(options.clockSpeed);
  if (g.headless) g.deadline = nowMs() + static_cast<uint64_t>(options.timeLimit * 1000.0);
  if (!options.transcript.empty() && !openTranscript(options.transcript)) {
    printError(program, "cannot write the transcript " + options.transcript);
    return 2;
  }
  if (!options.audioOut.empty() && !openAudioRecord(options.audioOut)) {
    printError(program, "cannot write the sound recording " + options.audioOut);
    return 2;
  }
  if (!options.keys.empty()) {
    if (!checkKeyScript(options.keys, error)) {
      printError(program, error);
      return 2;
    }
    g.keyFile.open(options.keys, std::ios::binary);
    g.keys = std::make_unique<KeyScriptReader>(g.keyFile);
    g.keyScriptGiven = true;
    readAheadKeyScript();
  }
  g.lastStep = nowMs();
  prepareChildEnvironment(options);
  return -1;
}

Backend& backend() { return *g.backend; }
const std::string& programName() { return g.program; }
bool headless() { return g.headless; }
bool inTerminal() { return g.backend && g.backend->hasTerminal(); }
bool keyScriptGiven() { return g.keyScriptGiven; }

bool nextEvent(Event& event, int timeoutMs) {
  const uint64_t until = timeoutMs < 0 ? UINT64_MAX : nowMs() + static_cast<uint64_t>(timeoutMs);
  for (;;) {
    const int scriptDue = feedKeyScript();
    if (!g.pending.empty()) {
      event = g.pending.front();
      g.pending.pop_front();
      return true;
    }
    if (takeBrailleKey(event)) return true;
    const uint64_t now = nowMs();
    if (g.deadline && now >= g.deadline) {
      event = Event{};
      event.type = EventType::TimeUp;
      return true;
    }
    if (g.awaiting && !g.step && !g.backend->hasRealKeyboard() && !brailleDisplayOpen() && !soundPlaying()) {
      event = Event{};
      event.type = EventType::InputEnd;
      return true;
    }
    uint64_t wakeAt = until;
    if (scriptDue >= 0) wakeAt = std::min(wakeAt, now + static_cast<uint64_t>(scriptDue));
    if (g.deadline) wakeAt = std::min(wakeAt, g.deadline);
    const int wait = wakeAt == UINT64_MAX ? -1 : static_cast<int>(wakeAt > now ? wakeAt - now : 0);
    if (g.backend->waitEvent(event, wait)) return true;
    if (nowMs() >= until) return false;
  }
}

void setAwaitingKey(bool awaiting) { g.awaiting = awaiting; }

uint64_t nowMs() { return clockMs() - g_epoch; }

void sleepMs(int ms) {
  ms = realMs(ms);
  if (ms <= 0) return;
  timespec ts{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0) {
  }
}

void fail(int status, const std::string& message) {
  const std::string line = printable(message) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::exit(status);
}

}  // namespace platform
