// A carrier phrase as a voice keeps it: said by eSpeak NG, brought to the
// voice's rate and to one loudness for every carrier, with the places where
// its words and phonemes begin moved to that rate.
#pragma once
#include <string>
#include <vector>

#include "tools/build/espeak_said/espeak_voice.h"

namespace espeak_said {

struct Said {
  std::vector<float> sound;  // -1..1
  std::vector<Utterance::Event> events;
};

// `espeakRate` is what startEspeak gave.
Said sayAt(const std::string& utf8, int espeakRate, int voiceRate, float targetLoudness);

}  // namespace espeak_said
