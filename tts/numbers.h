// Portuguese number words, used by normalisation and by the recorded number
// pieces of the speech service. All words are lower case, Windows-1252.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tts {

enum class Gender { masculine, feminine };

// The recorded pieces are named without accents: 3 is "tres" and 50 is
// "cinquenta" there, "três" and "cinqüenta" in text.
enum class NumberSpelling { text, recordedPieces };

// Largest value cardinalWords writes as words (fifteen digits).
inline constexpr uint64_t kMaxCardinal = 999'999'999'999'999ULL;

// "zero", "um", "mil e um", "dois milhões " (a scale word keeps its trailing
// space). The feminine changes a last "um" or "dois" to "uma" or "duas", as
// the hour pieces need ("vinte e uma"). Values above kMaxCardinal are spelled
// digit by digit.
std::string cardinalWords(uint64_t n, Gender gender = Gender::masculine,
                          NumberSpelling spelling = NumberSpelling::text);

// "primeiro", "vigésima segunda"; 0 is "zero", and from 2000 on there is no
// ordinal form, so the cardinal words are given.
std::string ordinalWords(uint64_t n, Gender gender);

// "zero" to "nove", for digits spelled one by one.
std::string_view digitWord(int digit);

}  // namespace tts
