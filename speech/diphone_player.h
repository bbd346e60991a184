// The diphone synthesizer's sound: the stretches a phone string names, put
// together in a 64000-byte wave image (8-bit mono, 11025 Hz) that is played
// whenever it fills and at the end. Missing units degrade to smaller ones, to
// a burst of noise, or to silence.
#pragma once
#include <cstdint>
#include <functional>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "speech/diphone/diphone_db.h"

namespace speech {

inline constexpr size_t kSynthBufferSize = 64000;

// The per-speed settings of the recorded-speech path.
struct DiphoneSpeed {
  int cut = 0;       // CORTEFON: bytes cut from unstressed units
  int shortest = 0;  // SOBRAFON: the shortest an unstressed unit becomes
  int wordGap = 0;   // INTERPAL: silence after each word, in samples
};

struct DiphoneOutput {
  std::vector<uint8_t> image = std::vector<uint8_t>(kSynthBufferSize);
  size_t fill = 44;  // the header counts
  // Plays a full image and returns when it has been heard (or a key stopped it).
  std::function<void(std::span<const uint8_t> image)> play;
  std::minstd_rand noise;
};

// Speaks a phone string into `out`, playing the image as it fills and once
// more at the end. Letter files ("_" and a code) are read from `letterDir`,
// a Windows directory ending in a backslash.
void speakPhones(const DiphoneDb& db, std::string_view letterDir, const DiphoneSpeed& speed,
                 std::string_view phones, DiphoneOutput& out);

}  // namespace speech
