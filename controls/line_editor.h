// The line editor: a one-line field on the console in which a blind user
// moves, hears characters and words, selects, copies and pastes, with a
// spoken confirmation of every action. Text is Windows-1252.
#pragma once
#include <string>

namespace controls {

constexpr int kMaxEditLength = 2048;
constexpr int kEscape = 27;

// Edits `text` in a field at (column, row) holding at most maxLength
// characters (cut to 1..2048). Returns the code of the key that ended it: the
// character code, or the second code of a special key (Up 72, F2 60 ...).
// The text comes back without trailing blanks.
int editLine(std::string& text, int column, int row, int maxLength);

// Edits an empty line of up to 255 characters at the cursor. Esc blanks what
// was typed and leaves the text empty. Ends with a line end.
void readLine(std::string& text);

// F4's key echo: each inserted character spoken. Starts from FALANDO and
// keeps what F4 chose for the rest of the run.
bool keyEcho();

}  // namespace controls
