#include "tools/build/espeak_said/said.h"

#include <algorithm>

#include "tools/build/espeak_said/sound_shaping.h"

namespace espeak_said {

Said sayAt(const std::string& utf8, int espeakRate, int voiceRate, float targetLoudness) {
  const Utterance u = synthesize(utf8);
  Said out{toVoiceRate(u.samples, espeakRate, voiceRate), u.events};
  const float gain = targetLoudness / std::max(loudness(out.sound, voiceRate), 1e-4f);
  for (float& s : out.sound) s *= gain;
  for (Utterance::Event& e : out.events)
    e.sample = e.sample * static_cast<size_t>(voiceRate) / static_cast<size_t>(espeakRate);
  return out;
}

}  // namespace espeak_said
