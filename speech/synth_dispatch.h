// The synthesizer dispatcher: five operations routed to the driver of the
// selected synthesizer kind. Drivers register themselves; a kind without a
// driver opens nothing, so the recorded-speech path is used.
#pragma once
#include <string_view>

namespace speech {

// TIPOSAPI values; any other value means SAPI 5.
enum SynthKind : int { kSynthEngine = 3, kSynthSapi4 = 4, kSynthSapi5 = 5, kSynthSapi54 = 54 };

struct SynthDriver {
  bool (*open)(int voice, int speed, int pitch);
  void (*close)();
  void (*speak)(std::string_view text);  // Windows-1252
  // With textOnly, only whether text is still being processed (SAPI 4
  // tells the two apart); otherwise also whether sound still plays.
  bool (*busy)(bool textOnly);
  void (*stop)();
};

// The driver that kinds routing like `kind` go to; null removes it.
void setSynthDriver(int kind, const SynthDriver* driver);

// The system voices: eSpeak NG for kind 4, speech-dispatcher for 5, 54 and
// every other kind but the built-in engine's 3.
void registerSystemVoices();

// A system voice that cannot open says why on standard error, once for each
// reason: the terminal only, as the program speaks on with the recorded voice.
void reportVoiceMissing(std::string_view voice, std::string_view why);

// Kind 5, as at start. Drivers stay registered.
void startSynthDispatch();
int synthKind();

// Stores the kind, then opens its driver (SAPI 5 and 5.4 take no pitch) and
// waits, 50 ms at a time, until it is no longer busy.
bool synthOpen(int voice, int speed, int pitch, int kind);
void synthClose();
void synthSpeak(std::string_view text);
// Serves pending events first.
bool synthBusy(bool textOnly);
void synthStop();

}  // namespace speech
