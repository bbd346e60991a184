// eSpeak NG's Brazilian Portuguese voice, synthesizing into memory.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace difones {

// Starts the library with the pt-br voice; its sample rate, or 0 on failure.
int startEspeak();

// pitchRange 0 speaks on one pitch, as units must to join; 50 is natural.
void setEspeakStyle(int wordsPerMinute, int pitchRange);

// 16-bit samples of UTF-8 text; phoneme input goes in "[[ ]]".
std::vector<int16_t> synthesize(const std::string& utf8);

void stopEspeak();

}  // namespace difones
