// How the diphone synthesizer reads a phone string: words in "[" "]", units
// ended by spaces, each unit split into the index names of recorded stretches
// ("$KA", "$ATIL") or letter files ("_99"), and the pauses between them. The
// synthesizer plays what this walk names; the build's check of the voice data
// walks the same way to find every name a word needs.
#pragma once
#include <functional>
#include <string_view>

namespace speech {

struct PhoneWalk {
  // An index name ("$" ...) or letter file ("_" and a code), with the stress
  // level (1 at a word's start, 2 in its stressed unit, 0 after it) and the
  // share of the stretch to play.
  std::function<void(std::string_view name, int stress, double share)> unit;
  // Samples of silence: a punctuation pause, or the gap after a word.
  std::function<void(int samples)> silence;
};

// Punctuation pauses in samples: "," 4000, "." and ":" 8000, ";" 6000.
int punctuationPause(char c);

// Walks the phone string; `wordGap` samples of silence follow every unit
// ended by something other than a space, except at the very end.
void walkPhones(std::string_view phones, int wordGap, const PhoneWalk& walk);

}  // namespace speech
