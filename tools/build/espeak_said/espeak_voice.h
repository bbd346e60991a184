// eSpeak NG's Brazilian Portuguese voice, synthesizing into memory with the
// places where its words and phonemes begin.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace espeak_said {

struct Utterance {
  struct Event {
    bool word = false;  // a word starts here; else a phoneme
    std::string name;   // the phoneme's eSpeak NG name
    size_t sample = 0;
  };
  std::vector<int16_t> samples;
  std::vector<Event> events;
};

// Starts the library with the pt-br voice; its sample rate, or 0 on failure.
int startEspeak();

// pitchRange 0 speaks on one pitch, as units must to join; `pitch` (0..100,
// eSpeak NG's own 50) sets how high.
void setEspeakStyle(int wordsPerMinute, int pitchRange, int pitch = 50);

// UTF-8 text; phoneme input goes in "[[ ]]".
Utterance synthesize(const std::string& utf8);

void stopEspeak();

// The phonemes said, without word starts and pauses.
std::vector<Utterance::Event> phonemeEvents(const std::vector<Utterance::Event>& events);

}  // namespace espeak_said
