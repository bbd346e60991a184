#include "tools/build/espeak_said/espeak_voice.h"

#include <espeak-ng/speak_lib.h>

#include <cstring>

namespace espeak_said {
namespace {

Utterance* collected = nullptr;

int collect(short* wav, int count, espeak_EVENT* events) {
  if (!collected) return 0;
  if (wav) collected->samples.insert(collected->samples.end(), wav, wav + count);
  for (const espeak_EVENT* e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
    if (e->type == espeakEVENT_WORD) collected->events.push_back({true, "", static_cast<size_t>(e->sample)});
    if (e->type == espeakEVENT_PHONEME)
      collected->events.push_back({false, std::string(e->id.string, strnlen(e->id.string, sizeof e->id.string)),
                                   static_cast<size_t>(e->sample)});
  }
  return 0;
}

}  // namespace

int startEspeak() {
  const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr,
                                     espeakINITIALIZE_DONT_EXIT | espeakINITIALIZE_PHONEME_EVENTS);
  if (rate <= 0) return 0;
  espeak_SetSynthCallback(collect);
  if (espeak_SetVoiceByName("pt-br") != EE_OK) return 0;
  return rate;
}

void setEspeakStyle(int wordsPerMinute, int pitchRange, int pitch) {
  espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
  espeak_SetParameter(espeakPITCH, pitch, 0);
  espeak_SetParameter(espeakRANGE, pitchRange, 0);
}

Utterance synthesize(const std::string& utf8) {
  Utterance u;
  collected = &u;
  espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8 | espeakPHONEMES, nullptr,
               nullptr);
  espeak_Synchronize();
  collected = nullptr;
  return u;
}

void stopEspeak() { espeak_Terminate(); }

std::vector<Utterance::Event> phonemeEvents(const std::vector<Utterance::Event>& events) {
  std::vector<Utterance::Event> out;
  for (const Utterance::Event& e : events)
    if (!e.word && !e.name.empty() && e.name[0] != '_') out.push_back(e);
  return out;
}

}  // namespace espeak_said
