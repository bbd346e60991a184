// Units and pieces cut from the middle of carrier phrases, the way diphone
// voices are recorded: eSpeak NG says each inside other syllables at running
// pace on one pitch, so the cut holds neither the lengthening nor the fall of
// a word said alone. Cuts fall at stable points: before a closure, where a
// pitch period starts, or a little into a vowel that opens a unit.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/build/espeak_said/espeak_voice.h"

namespace difones {

using espeak_said::Utterance;

// The phrase that says a unit's eSpeak NG phonemes ("k'a"), and one that
// says a piece's text ("quinze").
std::string unitCarrier(const std::string& phonemes);
std::string pieceCarrier(const std::string& utf8Text);

// A carrier's sound at the voice's rate, at its final loudness, with its
// events moved to that rate; `samples` is the same sound in 8 bits, where the
// cuts are found, as the player finds its own.
struct CarrierSound {
  std::vector<float> sound;
  std::vector<uint8_t> samples;
  std::vector<Utterance::Event> events;
};

// [begin, end) of the unit or the piece in its carrier's sound; nothing when
// the events do not show where it lies.
struct Cut {
  size_t begin = 0, end = 0;
};
std::optional<Cut> unitCut(const CarrierSound& sound, const std::string& phonemes);
std::optional<Cut> pieceCut(const CarrierSound& sound);

}  // namespace difones
