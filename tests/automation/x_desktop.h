// A virtual X desktop for the tests: Xvfb on a display number it picks
// itself, with the openbox window manager, and roteiro programs run on it
// in the sdl backend.
#pragma once
#include <sys/types.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "support/scratch.h"

namespace testsupport {

// Starts a program with its output in errFile and no descriptor of ours but
// keepFd; in a process group of its own when asked, so that stop() ends
// whatever it starts too.
pid_t spawn(const std::vector<std::string>& args, const std::string& errFile, int keepFd = -1,
            bool ownGroup = false);
// Ends it (SIGTERM, then SIGKILL), with its group when it has one.
void stop(pid_t pid, bool group = false);

// Script lines (Windows-1252) joined with CR LF.
std::string script(std::initializer_list<const char*> lines);

class XDesktop {
 public:
  // extraServerArgs: e.g. {"-extension", "XTEST"} to leave XTest out.
  explicit XDesktop(std::vector<std::string> extraServerArgs = {}, bool windowManager = true);
  ~XDesktop();
  XDesktop(const XDesktop&) = delete;
  XDesktop& operator=(const XDesktop&) = delete;

  bool ready() const { return ready_; }
  const std::string& display() const { return display_; }

  // Waits up to timeoutMs for a managed window whose title is `title`;
  // returns its id, or 0.
  unsigned long waitForWindow(const std::string& title, int timeoutMs = 10000) const;
  // The title of the window in front ("" when none).
  std::string activeTitle() const;
  // Where the pointer is, and where a window's top-left corner is, on the screen.
  void pointer(int& x, int& y) const;
  void windowOrigin(unsigned long window, int& x, int& y) const;
  // Where a window's contents end, on the screen: right and bottom (-1 when unknown).
  void windowEnd(unsigned long window, int& right, int& bottom) const;
  // Whether Num Lock is on.
  bool numLock() const;
  // Sets the keyboard layout with setxkbmap.
  bool setLayout(const std::string& layout) const;
  // Brings a window to the front with the focus, as a pager asks the window
  // manager to.
  void activate(unsigned long window) const;
  // Destroys a window outright, as `xdotool windowclose` does, instead of
  // asking it to close.
  void destroyWindow(unsigned long window) const;
  // Ends the X server (and the window manager) now, as when a session ends.
  void stopServer();

 private:
  pid_t server_ = -1;
  pid_t manager_ = -1;
  std::string display_;
  bool ready_ = false;
};

// A plain window of the test's own, mapped on the desktop and given the
// focus; it lives as long as the object.
class XWindow {
 public:
  XWindow(const XDesktop& desktop, const std::string& title);
  ~XWindow();
  XWindow(const XWindow&) = delete;
  XWindow& operator=(const XWindow&) = delete;

  unsigned long id() const { return id_; }

 private:
  void* display_ = nullptr;  // the window's own connection: it goes with it
  unsigned long id_ = 0;
};

// A roteiro program on the desktop, its script, transcript and screen at
// exit in a folder.
class XProgram {
 public:
  XProgram(const ScratchDir& dir, const std::string& name, const std::string& script);
  ~XProgram();  // kills it when still running
  XProgram(const XProgram&) = delete;
  XProgram& operator=(const XProgram&) = delete;

  // Its exit status once it has ended within timeoutMs; -1 otherwise.
  int wait(int timeoutMs = 30000);
  bool running();
  // The lines it showed that start with "=", in UTF-8, and its error report
  // ("ERROR" and the line), each ended by a line feed.
  std::string findings() const;
  // The screen's rows it wrote as it ended, without the empty ones.
  std::string screen() const;

 private:
  std::string transcript_;
  std::string screen_;
  pid_t pid_ = -1;
  int status_ = -1;
};

}  // namespace testsupport
