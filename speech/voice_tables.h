// How the script's voice numbers, speeds and pitches reach the system voices
// (eSpeak NG for kind 4, speech-dispatcher for the others):
//
//   voice n      the n-th voice of the list ordered as orderVoices says
//   speed 0      the voice's default rate
//   kind 4       -10..-1: 175 + 9.5 n words a minute (80..166);
//                1..79: 175 + 27.5 n, at most 450 (1 is 202, 10 is 450);
//                80 and above: words a minute, at most 450; below -10: 80
//   other kinds  the rate scale -10..10 times 10 on speech-dispatcher's
//                -100..100
//   pitch 0      the voice's default pitch
//   kind 4       50 + 5 n on eSpeak NG's 0..99 (-10 is 0, 10 is 99)
#pragma once
#include <string>
#include <vector>

namespace speech {

// eSpeak NG's rate and pitch for the script's speed and pitch (not 0).
int espeakRate(int speed);
int espeakPitch(int pitch);
// speech-dispatcher's rate for the script's speed.
int speechdRate(int speed);

// The voices' positions, reordered for the script's voice numbers: the
// Brazilian Portuguese ones first (so that voice 1 speaks the language of
// the scripts), then the other Portuguese ones, then the rest, each group in
// the order given. Each voice is given by its languages ("pt-br", "pt-PT").
std::vector<size_t> orderVoices(const std::vector<std::vector<std::string>>& languages);

}  // namespace speech
