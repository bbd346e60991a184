// What the line editor reads in its text, apart from any screen or sound:
// words, the next piece to read aloud, the word to open. Positions are
// 1-based in a text padded with blanks to its maximum length.
#pragma once
#include <string>
#include <string_view>

namespace controls {

// The position of the last non-blank character; 0 when there is none.
int lastNonBlank(std::string_view text);

// Where a word movement lands, and whether it moved within the text (a
// click) or ran into an end (a beep).
struct WordMove {
  int position;
  bool inside;
};

// A word is a run of letters (A-Z, a-z, codes 128 and above) or of digits;
// any other character is a word by itself; blanks separate words.
// Right: past the current word and its blanks, but never beyond the text.
WordMove nextWordStart(std::string_view text, int p);
// Left: to the first character of the word before p, or to 1.
WordMove previousWordStart(std::string_view text, int p);

// The next piece F1 reads from p on: [from, to) and whether it is spelled.
// `found` is false at the end of the text.
struct Reading {
  bool found;
  int from, to;
  bool spell;
};
Reading nextReading(std::string_view text, int p);

// The run of non-blank characters at p (or just before it, when p is on a
// blank after a word), without the punctuation that surrounds addresses
// and file names. Empty when nothing remains.
std::string wordToOpen(std::string_view text, int p);

}  // namespace controls
