// The terminal the tty backend takes over: raw input, the alternate screen,
// keypad and mouse reporting, and standard error kept aside so that messages
// do not land in the drawing (they are written out when the terminal is
// given back). The way back is kept ready as bytes and settings, so that it
// runs on every way out: exit, quick_exit (SIGINT, SIGTERM, SIGHUP), a
// crash's fatal signal, and the stop of Ctrl+Z or SIGTSTP, after which the
// terminal is taken again. Process-wide, as the signals are.
#pragma once
#include <string>

namespace platform {

struct TerminalModes {
  std::string enter;  // alternate screen, keypad and mouse on, cleared
  std::string leave;  // the opposite, attributes reset, cursor shown
};

// Takes the terminal on standard input and output; `wakeFd` is written to
// when a signal asks the backend to look again (a resize, a resume). False
// when standard input is no terminal.
bool takeTerminal(const TerminalModes& modes, int wakeFd);
// Gives the terminal back as it was; safe to call again.
void giveTerminalBack();
bool terminalTaken();

// What the signals asked since the last call: a new size or a resume, after
// which everything is drawn again.
bool terminalRedrawWanted();

// Stops the program as Ctrl+Z does in a shell, giving the terminal back for
// the stop and taking it again after it.
void suspendTerminal();

}  // namespace platform
