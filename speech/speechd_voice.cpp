#include "speech/speechd_voice.h"

#include <speech-dispatcher/libspeechd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/platform.h"
#include "platform/shared_library.h"
#include "speech/click_beep.h"
#include "speech/voice_tables.h"

namespace speech {
namespace {

constexpr char kVoiceName[] = "o speech-dispatcher";
// A message the server has not begun this long after taking it is given up
// for lost, so that no wait hangs on it.
constexpr uint64_t kBeginWithinMs = 10000;

struct Library {
  decltype(spd_open2)* open = nullptr;
  decltype(spd_close)* close = nullptr;
  decltype(spd_say)* say = nullptr;
  decltype(spd_cancel)* cancel = nullptr;
  decltype(spd_list_synthesis_voices)* listVoices = nullptr;
  decltype(free_spd_voices)* freeVoices = nullptr;
  decltype(spd_set_synthesis_voice)* setVoice = nullptr;
  decltype(spd_set_voice_rate)* setRate = nullptr;
  decltype(spd_set_language)* setLanguage = nullptr;
  decltype(spd_set_notification_on)* notify = nullptr;
};

struct State {
  Library lib;
  SPDConnection* connection = nullptr;
  // Message numbers: the last one sent, and the highest the server has
  // finished or cancelled. The server's events come on the library's thread.
  std::atomic<size_t> lastSent{0};
  std::atomic<size_t> lastDone{0};
  std::atomic<bool> begun{false};
  uint64_t sentAtMs = 0;
  // The server's voices in the scripts' order, asked for once: a server
  // with every voice's variants lists thousands, which takes seconds.
  std::vector<std::string> voices;
};

State g;

void markDone(size_t id) {
  size_t done = g.lastDone.load();
  while (id > done && !g.lastDone.compare_exchange_weak(done, id)) {
  }
}

// On the library's thread: record, then wake the program's wait.
void onBegin(size_t, size_t, SPDNotificationType) {
  g.begun = true;
  platform::backend().wake();
}

void onEnd(size_t id, size_t, SPDNotificationType) {
  markDone(id);
  platform::backend().wake();
}

bool load(std::string& why) {
  Library& l = g.lib;
  static const std::string failure = platform::loadFunctions(
      "libspeechd.so.2", "spd_open2", l.open, "spd_close", l.close, "spd_say", l.say, "spd_cancel", l.cancel,
      "spd_list_synthesis_voices", l.listVoices, "free_spd_voices", l.freeVoices, "spd_set_synthesis_voice",
      l.setVoice, "spd_set_voice_rate", l.setRate, "spd_set_language", l.setLanguage, "spd_set_notification_on",
      l.notify);
  why = failure;
  return failure.empty();
}

void close() {
  if (g.connection) g.lib.close(g.connection);
  g.connection = nullptr;
}

// The server's address comes from SPEECHD_ADDRESS or the user's default;
// a server that is not running is started, as every client of it does.
bool connect() {
  std::string why;
  if (!load(why)) {
    reportVoiceMissing(kVoiceName, why);
    return false;
  }
  close();
  char* error = nullptr;
  g.connection = g.lib.open("escuta", "main", nullptr, SPD_MODE_THREADED, nullptr, 1, &error);
  if (!g.connection) {
    reportVoiceMissing(kVoiceName, platform::utf8ToCp1252(error ? error : "sem resposta"));
    std::free(error);
    return false;
  }
  std::free(error);
  // The library's thread must be gone before the program's window is.
  [[maybe_unused]] static const bool closedAtExit = std::atexit(close) == 0;
  g.connection->callback_begin = onBegin;
  g.connection->callback_end = onEnd;
  g.connection->callback_cancel = onEnd;
  for (SPDNotification n : {SPD_BEGIN, SPD_END, SPD_CANCEL}) g.lib.notify(g.connection, n);
  g.lastSent = g.lastDone = 0;
  return true;
}

// The server's voices, ordered as for eSpeak NG; empty when it has none.
const std::vector<std::string>& serverVoices() {
  if (!g.voices.empty()) return g.voices;
  SPDVoice** voices = g.lib.listVoices(g.connection);
  std::vector<std::vector<std::string>> languages;
  for (SPDVoice** v = voices; v && *v; ++v) languages.push_back({(*v)->language ? (*v)->language : ""});
  for (size_t i : orderVoices(languages)) g.voices.emplace_back(voices[i]->name);
  if (voices) g.lib.freeVoices(voices);
  return g.voices;
}

// The voice is a position in the server's list, ordered as for eSpeak NG;
// one outside it is the first voice at the normal rate. The first voice is
// a Brazilian Portuguese one, which the language chooses without the list.
// No pitch: the dispatcher gives these kinds none.
bool open(int voice, int speed, int) {
  if (!connect()) return false;
  if (voice < 1) speed = 0;
  if (voice > 1) {
    const std::vector<std::string>& voices = serverVoices();
    if (voices.empty()) {
      reportVoiceMissing(kVoiceName, "o servidor n\xC3\xA3o tem vozes");
      close();
      return false;
    }
    if (static_cast<size_t>(voice) <= voices.size()) g.lib.setVoice(g.connection, voices[voice - 1].c_str());
    else voice = speed = 0;
  }
  if (voice <= 1) g.lib.setLanguage(g.connection, "pt-BR");
  g.lib.setRate(g.connection, speechdRate(speed));  // refused by an old server: its rate stays
  return true;
}

// Returns at once; the server speaks on its own. A refused text beeps.
void speak(std::string_view text) {
  const std::string utf8 = platform::cp1252ToUtf8(text.empty() ? " " : text);
  g.begun = false;
  g.sentAtMs = platform::nowMs();
  const int id = g.connection ? g.lib.say(g.connection, SPD_MESSAGE, utf8.c_str()) : -1;
  if (id < 0) return playBeep();
  g.lastSent = static_cast<size_t>(id);
}

// Whether the last text is still being said. This does not block: the
// message waits that ask it every 20 ms end at once when the server's end
// event (or a key) comes.
bool busy(bool) {
  if (g.lastSent.load() <= g.lastDone.load()) return false;
  if (!g.begun && platform::nowMs() - g.sentAtMs > kBeginWithinMs) markDone(g.lastSent);
  return g.lastSent.load() > g.lastDone.load();
}

void stop() {
  if (g.connection) g.lib.cancel(g.connection);
  markDone(g.lastSent);
}

}  // namespace

const SynthDriver kSpeechdVoice{open, close, speak, busy, stop};

}  // namespace speech
