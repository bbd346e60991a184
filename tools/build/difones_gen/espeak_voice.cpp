#include "espeak_voice.h"

#include <espeak-ng/speak_lib.h>

namespace difones {
namespace {

std::vector<int16_t>* collected = nullptr;

int collect(short* wav, int count, espeak_EVENT*) {
  if (wav && collected) collected->insert(collected->end(), wav, wav + count);
  return 0;
}

}  // namespace

int startEspeak() {
  const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
  if (rate <= 0) return 0;
  espeak_SetSynthCallback(collect);
  if (espeak_SetVoiceByName("pt-br") != EE_OK) return 0;
  return rate;
}

void setEspeakStyle(int wordsPerMinute, int pitchRange) {
  espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
  espeak_SetParameter(espeakRANGE, pitchRange, 0);
}

std::vector<int16_t> synthesize(const std::string& utf8) {
  std::vector<int16_t> samples;
  collected = &samples;
  espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8 | espeakPHONEMES, nullptr,
               nullptr);
  espeak_Synchronize();
  collected = nullptr;
  return samples;
}

void stopEspeak() { espeak_Terminate(); }

}  // namespace difones
