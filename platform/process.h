// Starting other programs, talking to one of them through pipes, and asking
// which programs run. Programs started here never inherit this program's
// sockets or files (only standard input, output and error), nor the files
// that belong to this run (key script, transcript, recording, screen dump).
// An ended child is reaped at the next operation of this module.
#pragma once
#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The file to run for a program name (UTF-8): a name with a "/" as it is; a
// bare name beside the running program, then on PATH. A name ending in
// ".exe" that is not found is looked up again without it. Empty when no
// executable file is found.
std::string findProgramFile(const std::string& program);

// How a started program stands to the user.
enum class Start {
  InFront,  // the one the user turns to: when the console is drawn in the
            // terminal, it has the terminal (its input included) until it ends
  Behind,   // when the console is drawn in the terminal, it gets none
  Hidden,   // as Behind, its output going nowhere
};

// Starts the program with the arguments and does not wait for it. Its
// standard input is empty, unless it has the terminal; its output goes where
// this program's goes, but nowhere while the console holds the terminal.
bool startDetached(const std::string& file, const std::vector<std::string>& args, Start how = Start::Behind);

// Opens a document, a folder or an address (UTF-8) with the desktop's
// program for it (xdg-open), as the shell's "open" verb does; a bare "www."
// name is a web address.
bool openWithDesktop(const std::string& target, Start how = Start::Behind);

// Starts one of our helper programs, which may outlive this one, with
// `input` as its standard input; it says it is ready by closing its standard
// output, which is waited for up to timeoutMs. Not a program the script ran:
// the transcript does not record it.
bool startHelper(const std::string& file, std::string_view input, int timeoutMs);

// Starts the program with its standard input, output and error on pipes that
// this program keeps: the piped child. One at a time; a new one replaces the
// pipes of the last, which then sees the end of its input.
bool startPiped(const std::string& file, const std::vector<std::string>& args);

// Writes to the piped child's input without blocking. False when there is no
// piped child, or it has gone or is not reading and the bytes did not fit.
bool writePiped(std::string_view bytes);
bool pipedChildStarted();

// What waits in the piped child's output and error pipes, up to `limit`
// bytes of each, without blocking.
void readPiped(size_t limit, std::string& output, std::string& error);

// A helper of ours that runs as a filter: its standard input and output on
// pipes this program keeps (ours to write and to read, both non-blocking),
// its error on /dev/null. Independent of the piped child; not recorded in the
// transcript. endFilter closes the pipes, ends the helper and reaps it.
struct Filter {
  pid_t pid = -1;
  int input = -1, output = -1;
};
bool startFilter(const std::string& file, const std::vector<std::string>& args, Filter& filter);
void endFilter(Filter& filter);

// The running processes, this one included, of this user and this
// configuration directory (the one this program's environment names, see
// config_dir.h) whose program has this name: its file name or full path, or
// the name it was started by, without regard to letter case; a name ending in
// ".exe" also matches the same name without it. Another process's directory
// is the one a program of ours was given with --config-dir, else the one its
// environment names; a relative one is taken from its working directory. So
// neither another user's programs nor those of another session of the suite
// (another Escuta.ini) are seen; a process whose environment cannot be read
// never matches.
std::vector<pid_t> processesNamed(std::string_view name);

// Whether one of processesNamed runs.
bool processRunning(std::string_view name);

}  // namespace platform
