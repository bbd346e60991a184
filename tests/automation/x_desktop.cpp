#include "x_desktop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

// Last: Xlib's macros would clash with the names above.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace testsupport {

pid_t spawn(const std::vector<std::string>& args, const std::string& errFile, int keepFd, bool ownGroup) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  if (ownGroup) setpgid(0, 0);
  const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (err >= 0) {
    dup2(err, 1);
    dup2(err, 2);
  }
  for (int fd = 3; fd < 256; ++fd) {
    if (fd != keepFd) ::close(fd);
  }
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

void stop(pid_t pid, bool group) {
  if (pid <= 0) return;
  const pid_t target = group ? -pid : pid;
  kill(target, SIGTERM);
  int status;
  bool ended = false;
  for (int i = 0; i < 100 && !ended; ++i) {
    ended = waitpid(pid, &status, WNOHANG) == pid;
    if (!ended) usleep(20000);
  }
  if (group) kill(target, SIGKILL);  // what the leader started may outlive it
  if (ended) return;
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
}

std::string script(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\r\n";
  return text;
}

namespace {

void sleepMs(int ms) {
  timespec ts{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
  nanosleep(&ts, nullptr);
}

std::string textProperty(Display* d, Window w, const char* name, Atom type) {
  Atom actual;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string text;
  if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 4096, False, type, &actual, &format, &count, &after,
                         &data) == Success &&
      data && format == 8) {
    text.assign(reinterpret_cast<char*>(data), count);
  }
  if (data) XFree(data);
  return text;
}

std::vector<unsigned long> windowList(Display* d, Window w, const char* name) {
  Atom actual;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::vector<unsigned long> items;
  if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 4096, False, XA_WINDOW, &actual, &format, &count,
                         &after, &data) == Success &&
      data && format == 32) {
    const auto* p = reinterpret_cast<const unsigned long*>(data);
    items.assign(p, p + count);
  }
  if (data) XFree(data);
  return items;
}

int ignore(Display*, XErrorEvent*) { return 0; }

// The windows a manager looks after, or the root's children when none runs.
std::vector<unsigned long> topLevel(Display* d) {
  std::vector<unsigned long> windows = windowList(d, DefaultRootWindow(d), "_NET_CLIENT_LIST");
  if (!windows.empty()) return windows;
  Window root, parent, *children = nullptr;
  unsigned n = 0;
  if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n)) windows.assign(children, children + n);
  if (children) XFree(children);
  return windows;
}

}  // namespace

XDesktop::XDesktop(std::vector<std::string> extraServerArgs, bool windowManager) {
  int fds[2];
  if (pipe(fds) != 0) return;
  std::vector<std::string> args = {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24",
                                   "-nolisten", "tcp"};
  args.insert(args.end(), extraServerArgs.begin(), extraServerArgs.end());
  server_ = spawn(args, "/dev/null", fds[1]);
  ::close(fds[1]);
  // The server writes its display number once it accepts connections.
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  char c;
  while (poll(&p, 1, 15000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  ::close(fds[0]);
  if (number.empty()) return;
  display_ = ":" + number;
  setenv("DISPLAY", display_.c_str(), 1);
  // The programs run here play into no device; and the X and D-Bus libraries
  // keep memory for the process's life: leaks are checked by the headless
  // tests instead.
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
  XSetErrorHandler(ignore);
  if (!windowManager) {
    ready_ = true;
    return;
  }
  manager_ = spawn({"openbox", "--sm-disable"}, "/dev/null");
  Display* d = XOpenDisplay(display_.c_str());
  if (!d) return;
  for (int waited = 0; waited < 10000 && !ready_; waited += 50) {
    ready_ = !windowList(d, DefaultRootWindow(d), "_NET_SUPPORTING_WM_CHECK").empty();
    if (!ready_) sleepMs(50);
  }
  XCloseDisplay(d);
}

XDesktop::~XDesktop() { stopServer(); }

void XDesktop::stopServer() {
  stop(manager_);
  stop(server_);
  manager_ = server_ = -1;
}

unsigned long XDesktop::waitForWindow(const std::string& title, int timeoutMs) const {
  Display* d = XOpenDisplay(display_.c_str());
  if (!d) return 0;
  unsigned long found = 0;
  for (int waited = 0; waited < timeoutMs && !found; waited += 50) {
    for (const unsigned long w : topLevel(d)) {
      if (textProperty(d, w, "_NET_WM_NAME", XInternAtom(d, "UTF8_STRING", False)) == title) found = w;
    }
    if (!found) sleepMs(50);
  }
  XCloseDisplay(d);
  return found;
}

std::string XDesktop::activeTitle() const {
  Display* d = XOpenDisplay(display_.c_str());
  if (!d) return "";
  const std::vector<unsigned long> active = windowList(d, DefaultRootWindow(d), "_NET_ACTIVE_WINDOW");
  std::string title;
  if (!active.empty() && active[0]) {
    title = textProperty(d, active[0], "_NET_WM_NAME", XInternAtom(d, "UTF8_STRING", False));
  }
  XCloseDisplay(d);
  return title;
}

void XDesktop::pointer(int& x, int& y) const {
  x = y = -1;
  Display* d = XOpenDisplay(display_.c_str());
  if (!d) return;
  Window root, child;
  int wx, wy;
  unsigned mask;
  XQueryPointer(d, DefaultRootWindow(d), &root, &child, &x, &y, &wx, &wy, &mask);
  XCloseDisplay(d);
}

void XDesktop::windowOrigin(unsigned long window, int& x, int& y) const {
  x = y = -1;
  Display* d = XOpenDisplay(display_.c_str());
  if (!d) return;
  Window child;
  XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, &x, &y, &child);
  XCloseDisplay(d);
}

void XDesktop::windowEnd(unsigned long window, int& right, int& bottom) const {
  right = bottom = -1;
  int x = 0, y = 0;
  windowOrigin(window, x, y);
  Display* d = XOpenDisplay(display_.c_str());
  if (!d) return;
  XWindowAttributes a;
  if (XGetWindowAttributes(d, window, &a)) {
    right = x + a.width;
    bottom = y + a.height;
  }
  XCloseDisplay(d);
}

bool XDesktop::numLock() const {
  Display* d = XOpenDisplay(display_.c_str());
  if (!d) return false;
  XkbStateRec state;
  const unsigned mask = XkbKeysymToModifiers(d, XK_Num_Lock);
  const bool on = XkbGetState(d, XkbUseCoreKbd, &state) == Success && (state.locked_mods & mask);
  XCloseDisplay(d);
  return on;
}

bool XDesktop::setLayout(const std::string& layout) const {
  const std::string cmd = "DISPLAY=" + display_ + " setxkbmap -layout " + layout;
  return std::system(cmd.c_str()) == 0;
}

void XDesktop::activate(unsigned long window) const {
  Display* d = XOpenDisplay(display_.c_str());
  if (!d) return;
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = 2;  // from a pager: the manager obeys without asking the user
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
  XCloseDisplay(d);
}

XWindow::XWindow(const XDesktop& desktop, const std::string& title) {
  Display* d = XOpenDisplay(desktop.display().c_str());
  if (!d) return;
  display_ = d;
  id_ = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 320, 200, 0, 0, WhitePixel(d, DefaultScreen(d)));
  XChangeProperty(d, id_, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False), 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
  XStoreName(d, id_, title.c_str());
  XMapRaised(d, id_);
  XSync(d, False);
  // The manager gives the focus once it has taken the window in.
  if (desktop.waitForWindow(title)) desktop.activate(id_);
}

XWindow::~XWindow() {
  if (display_) XCloseDisplay(static_cast<Display*>(display_));
}

void XDesktop::destroyWindow(unsigned long window) const {
  Display* d = XOpenDisplay(display_.c_str());
  if (!d) return;
  XDestroyWindow(d, window);
  XCloseDisplay(d);
}

XProgram::XProgram(const ScratchDir& dir, const std::string& name, const std::string& script)
    : transcript_(dir / (name + ".t")), screen_(dir / (name + ".screen")) {
  std::ofstream(dir / (name + ".txt"), std::ios::binary) << script;
  if (!std::ifstream(dir / "Escuta.ini")) std::ofstream(dir / "Escuta.ini") << "[ESCUTA]\r\nCANTOTELA=S\r\n";
  pid_ = spawn({ROTEIRO, "--frontend", "sdl", "--config-dir", dir.path(), "--transcript", transcript_,
                "--screen-out", screen_, dir / (name + ".txt")},
               dir / (name + ".err"));
}

XProgram::~XProgram() {
  if (running()) stop(pid_);
}

bool XProgram::running() {
  if (pid_ <= 0) return false;
  int raw;
  if (waitpid(pid_, &raw, WNOHANG) != pid_) return true;
  status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  pid_ = -1;
  return false;
}

int XProgram::wait(int timeoutMs) {
  for (int waited = 0; waited < timeoutMs && running(); waited += 20) sleepMs(20);
  return running() ? -1 : status_;
}

std::string XProgram::findings() const {
  std::istringstream lines(slurp(transcript_));
  std::string out;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("ERROR\t")) {
      out += "ERROR " + line.substr(6) + "\n";
      continue;
    }
    if (!line.starts_with("SHOW\t=")) continue;
    line = line.substr(5);
    if (line.ends_with("\\r\\n")) line.resize(line.size() - 4);
    out += line + "\n";
  }
  return out;
}

std::string XProgram::screen() const {
  std::istringstream lines(slurp(screen_));
  std::string out;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) out += line + "\n";
  }
  return out;
}

}  // namespace testsupport
