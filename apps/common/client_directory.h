// The portal client's own directory, "telinha" below the data root: its
// recorded sounds (som), the notes (temp), downloads and saved synopses. The
// client's programs start there, as the suite's menu starts them, so that the
// script's relative names ("som\tlabre", "temp\tlnotas") are found.
#pragma once
#include <string>

namespace app {

// $ESCUTA_ROOT/telinha (or the installed or build tree's data root).
std::string clientDirectory();

// Makes the client's directory and the folders the script writes into, and
// makes it the current directory. The directory of Escuta.ini goes into
// ESCUTA_CONFIG_DIR, so that the programs and shell lines the client starts
// name the same file. A ScriptProgram's prepare hook.
void enterClientDirectory();

}  // namespace app
