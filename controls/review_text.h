// What the screen review reads in one row of the screen, apart from moving
// or speaking: words, fields, the next piece to read. Columns are 1-based;
// a row is its 80 characters (and, for fields, their 80 attributes).
#pragma once
#include <string_view>

namespace controls {

// Letters, digits and the accented letters of Portuguese (and ñ).
bool reviewWordChar(char c);

// Just after the last non-blank character; 1 on an empty row.
int rowEnd(std::string_view row);

// The cells around `column` with its attribute that are not field
// separators ("!", ":", "?", "|", codes 176 to 223). `found` is false on a
// separator or outside the row.
struct Span {
  bool found;
  int from, to;  // inclusive
};
Span fieldAround(std::string_view row, std::string_view attrs, int column);

// The next piece to read from `column` on, not beyond `limit`: blanks
// skipped, then a word (spelled when it is all consonants), or a single
// character with its repetitions (said at most three times).
struct Piece {
  bool found;
  int from, next;  // [from, next) was taken
  int say;         // how many of its characters are said
  bool spell;
};
Piece nextPiece(std::string_view row, int column, int limit);

// Blank-separated word movements. `inside` is false at the row's start or
// end (then the position is column 1 or the row's end).
struct Move {
  int column;
  bool inside;
};
Move nextBlankWord(std::string_view row, int column);
Move previousBlankWord(std::string_view row, int column);

}  // namespace controls
