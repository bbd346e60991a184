// F12 of the line editor: the word at the cursor opened as an address, a
// document or a program.
#pragma once
#include <string_view>

namespace controls {

// Addresses go to the program of PROG.HTM, documents to that of PROG. and
// their extension, or to the desktop's choice when none is set; .exe and
// .com names are started themselves. Beeps when there is no word or the
// program cannot be started.
void openWord(std::string_view text, int p);

}  // namespace controls
