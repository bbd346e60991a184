#include "speech/synth_dispatch.h"

#include <set>
#include <string>

#include "console/screen.h"
#include "platform/base/printable.h"
#include "platform/platform.h"
#include "speech/espeak_voice.h"
#include "speech/speechd_voice.h"

namespace speech {
namespace {

// A driver still busy this long after opening is taken as open anyway.
constexpr uint64_t kOpenSettleMs = 10000;

enum Slot { kEngineSlot, kSapi4Slot, kSapi54Slot, kSapi5Slot, kSlots };

struct Dispatch {
  int kind = kSynthSapi5;
  const SynthDriver* drivers[kSlots] = {};
};

Dispatch g;

Slot slotOf(int kind) {
  switch (kind) {
    case kSynthEngine: return kEngineSlot;
    case kSynthSapi4: return kSapi4Slot;
    case kSynthSapi54: return kSapi54Slot;
    default: return kSapi5Slot;
  }
}

const SynthDriver* driver() { return g.drivers[slotOf(g.kind)]; }

}  // namespace

void setSynthDriver(int kind, const SynthDriver* d) { g.drivers[slotOf(kind)] = d; }

void registerSystemVoices() {
  setSynthDriver(kSynthSapi4, &kEspeakVoice);
  setSynthDriver(kSynthSapi5, &kSpeechdVoice);
  setSynthDriver(kSynthSapi54, &kSpeechdVoice);
}

void reportVoiceMissing(std::string_view voice, std::string_view why) {
  static std::set<std::string> said;
  std::string line = "Sem " + std::string(voice) + ": " + std::string(why) + "; o programa fala com a voz gravada";
  if (said.insert(line).second) platform::printError(platform::programName(), line);
}

void startSynthDispatch() { g.kind = kSynthSapi5; }

int synthKind() { return g.kind; }

bool synthOpen(int voice, int speed, int pitch, int kind) {
  g.kind = kind;
  const SynthDriver* d = driver();
  const bool takesPitch = kind == kSynthEngine || kind == kSynthSapi4;
  if (!d || !d->open(voice, speed, takesPitch ? pitch : 0)) return false;
  const uint64_t until = platform::nowMs() + kOpenSettleMs;
  while (synthBusy(true) && platform::nowMs() < until) console::delayMs(50);
  return true;
}

void synthClose() {
  if (const SynthDriver* d = driver()) d->close();
}

void synthSpeak(std::string_view text) {
  if (const SynthDriver* d = driver()) d->speak(text);
}

bool synthBusy(bool textOnly) {
  console::pumpMessages();
  const SynthDriver* d = driver();
  return d && d->busy(textOnly);
}

void synthStop() {
  if (const SynthDriver* d = driver()) d->stop();
}

}  // namespace speech
