// The screen review: a position that moves over the whole 80 x 25 screen,
// apart from the cursor, to read characters, words, rows and fields, search
// for a text and jump to a row and column. Opened with Ctrl+Alt+F9 from the
// line editor and the menus; Esc leaves it.
#pragma once

namespace controls {

// Runs the mode until Esc, then puts the console cursor back.
void reviewScreen();

}  // namespace controls
