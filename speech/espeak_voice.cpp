#include "speech/espeak_voice.h"

#include <espeak-ng/speak_lib.h>

#include <cstring>
#include <string>
#include <vector>

#include "console/keyboard.h"
#include "platform/base/codepage.h"
#include "platform/shared_library.h"
#include "speech/voice_tables.h"
#include "speech/wave_player.h"

namespace speech {
namespace {

constexpr char kVoiceName[] = "o eSpeak NG";
constexpr int kDefaultPitch = 50;
// Sound is handed on every 20 ms of speech, so the first is heard at once.
constexpr int kChunkMs = 20;

struct Library {
  decltype(espeak_Initialize)* initialize = nullptr;
  decltype(espeak_ListVoices)* listVoices = nullptr;
  decltype(espeak_SetVoiceByName)* setVoiceByName = nullptr;
  decltype(espeak_SetParameter)* setParameter = nullptr;
  decltype(espeak_SetSynthCallback)* setSynthCallback = nullptr;
  decltype(espeak_Synth)* synth = nullptr;
};

struct State {
  Library lib;
  int sampleRate = 0;
  bool synthesizing = false;  // the text has not all been made into sound
  bool cancel = false;        // stop asked while synthesizing
};

State g;

bool keyStops() {
  if (!g.cancel && !console::keyPressed()) return false;
  waveStop();
  return true;
}

// Samples as eSpeak NG makes them; a nonzero answer ends the synthesis.
int onSamples(short* samples, int count, espeak_EVENT*) {
  if (keyStops()) return 1;
  if (samples && count > 0) {
    streamPcm({reinterpret_cast<const uint8_t*>(samples), static_cast<size_t>(count) * 2}, g.sampleRate, 1, 16);
  }
  return keyStops() ? 1 : 0;
}

// Binds and initialises the library once; the engine then stays for every
// later open (the library makes no promise for a second initialisation).
bool load(std::string& why) {
  static const std::string failure = [] {
    Library& l = g.lib;
    const std::string reason = platform::loadFunctions(
        "libespeak-ng.so.1", "espeak_Initialize", l.initialize, "espeak_ListVoices", l.listVoices,
        "espeak_SetVoiceByName", l.setVoiceByName, "espeak_SetParameter", l.setParameter, "espeak_SetSynthCallback",
        l.setSynthCallback, "espeak_Synth", l.synth);
    if (!reason.empty()) return reason;
    g.sampleRate = l.initialize(AUDIO_OUTPUT_SYNCHRONOUS, kChunkMs, nullptr, 0);
    if (g.sampleRate <= 0) return std::string("os dados de voz do eSpeak NG n\xC3\xA3o foram encontrados");
    l.setSynthCallback(onSamples);
    return std::string();
  }();
  why = failure;
  return failure.empty();
}

// A voice's languages: each is a priority byte and a name, and a zero
// priority ends them.
std::vector<std::string> languagesOf(const espeak_VOICE& voice) {
  std::vector<std::string> out;
  for (const char* p = voice.languages; p && *p; p += std::strlen(p + 1) + 2) out.emplace_back(p + 1);
  return out;
}

bool open(int voice, int speed, int pitch) {
  std::string why;
  if (!load(why)) {
    reportVoiceMissing(kVoiceName, why);
    return false;
  }
  std::vector<const espeak_VOICE*> voices;
  std::vector<std::vector<std::string>> languages;
  for (const espeak_VOICE** v = g.lib.listVoices(nullptr); v && *v; ++v) {
    voices.push_back(*v);
    languages.push_back(languagesOf(**v));
  }
  const std::vector<size_t> order = orderVoices(languages);
  if (voice == 0) voice = 1;
  if (voice < 1 || static_cast<size_t>(voice) > order.size() ||
      g.lib.setVoiceByName(voices[order[voice - 1]]->identifier) != EE_OK) {
    reportVoiceMissing(kVoiceName, "a voz " + std::to_string(voice) + " n\xC3\xA3o existe (h\xC3\xA1 " +
                                       std::to_string(order.size()) + ")");
    return false;
  }
  g.lib.setParameter(espeakRATE, speed == 0 ? espeakRATE_NORMAL : espeakRate(speed), 0);
  g.lib.setParameter(espeakPITCH, pitch == 0 ? kDefaultPitch : espeakPitch(pitch), 0);
  return true;
}

void stop() {
  g.cancel = true;
  waveStop();
}

// A lone digit is read as a number with a full stop after it. Nothing is
// said while a key waits: the key ends it all anyway.
void speak(std::string_view text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (text.empty()) return;
  std::string said(text);
  if (said.size() == 1 && said[0] >= '0' && said[0] <= '9') said += '.';
  if (console::keyPressed()) return;
  const std::string utf8 = platform::cp1252ToUtf8(said);
  g.cancel = false;
  g.synthesizing = true;
  const espeak_ERROR result =
      g.lib.synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
  g.synthesizing = false;
  if (result != EE_OK) return stop();
  endStream();
}

bool busy(bool textOnly) { return g.synthesizing || (!textOnly && waveBusy()); }

// The engine stays loaded for the next open; its sound is the wave player's.
void close() {}

}  // namespace

const SynthDriver kEspeakVoice{open, close, speak, busy, stop};

}  // namespace speech
