// Numbers, times and dates spoken by joining short recordings of single words
// from the letter-file directory.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace speech {

// The words of a number as the pieces are named ("tres", "cinquenta").
std::string numberWordsRecorded(uint32_t n);

// The piece names for the words, in order; with `feminine` the last "_um" or
// "_dois" becomes "_uma" or "_duas".
std::string pieceNamesOf(std::string_view words, bool feminine);

// Plays the words' pieces joined into one sound and waits until played.
void speakNumberWords(std::string_view words, bool feminine);

void speakTime(int hours, int minutes);
void speakDate(int day, int month, int year);
// The system clock's local time and date.
void speakCurrentTime();
void speakCurrentDate();

}  // namespace speech
