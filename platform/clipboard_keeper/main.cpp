// escuta_clipboard: keeps a program's clipboard text on the X desktop once
// the program has ended, as the desktop's clipboard otherwise empties with
// its owner. It reads the text (UTF-8) from its standard input, takes the
// CLIPBOARD selection, closes its standard output to say so, and answers
// other programs' requests until one of them takes the selection or the X
// server goes.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "platform/base/codepage.h"

namespace {

struct Atoms {
  Atom clipboard, targets, timestamp, utf8, text, integer;
};

// Latin-1 for the STRING target: what it cannot hold becomes '?'.
std::string latin1(std::string_view utf8) {
  std::string out;
  for (size_t pos = 0; pos < utf8.size();) {
    const char32_t c = platform::decodeUtf8(utf8, pos);
    out += c < 0x100 ? static_cast<char>(c) : '?';
  }
  return out;
}

// One request answered: the text in the asked form, or a refusal. A text
// longer than one request can carry is refused rather than cut.
void answer(Display* d, const XSelectionRequestEvent& req, const std::string& text, Time owned, const Atoms& a) {
  XSelectionEvent reply{};
  reply.type = SelectionNotify;
  reply.requestor = req.requestor;
  reply.selection = req.selection;
  reply.target = req.target;
  reply.time = req.time;
  // Clients of old give no property: the target's name serves.
  reply.property = req.property == None ? req.target : req.property;
  const long maxBytes = (XExtendedMaxRequestSize(d) ? XExtendedMaxRequestSize(d) : XMaxRequestSize(d)) * 4 - 1024;
  auto put = [&](Atom type, int format, const void* data, int count) {
    XChangeProperty(d, req.requestor, reply.property, type, format, PropModeReplace,
                    static_cast<const unsigned char*>(data), count);
  };
  if (req.selection != a.clipboard) {
    reply.property = None;
  } else if (req.target == a.targets) {
    const Atom offered[] = {a.targets, a.timestamp, a.utf8, XA_STRING, a.text};
    put(XA_ATOM, 32, offered, 5);
  } else if (req.target == a.timestamp) {
    const long t = static_cast<long>(owned);
    put(a.integer, 32, &t, 1);
  } else if ((req.target == a.utf8 || req.target == a.text) && static_cast<long>(text.size()) <= maxBytes) {
    put(a.utf8, 8, text.data(), static_cast<int>(text.size()));
  } else if (req.target == XA_STRING && static_cast<long>(text.size()) <= maxBytes) {
    const std::string narrow = latin1(text);
    put(XA_STRING, 8, narrow.data(), static_cast<int>(narrow.size()));
  } else {
    reply.property = None;
  }
  XSendEvent(d, req.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
  XFlush(d);
}

}  // namespace

int main() {
  const std::string text{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 1;
  const Atoms a{XInternAtom(d, "CLIPBOARD", False), XInternAtom(d, "TARGETS", False),
                XInternAtom(d, "TIMESTAMP", False), XInternAtom(d, "UTF8_STRING", False),
                XInternAtom(d, "TEXT", False),      XInternAtom(d, "INTEGER", False)};
  const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  // The selection is taken at the time of an event of ours, as other
  // programs compare it: a property change on our window gives one.
  XSelectInput(d, w, PropertyChangeMask);
  XStoreName(d, w, "escuta_clipboard");
  XEvent e;
  do XNextEvent(d, &e);
  while (e.type != PropertyNotify);
  const Time owned = e.xproperty.time;
  XSetSelectionOwner(d, a.clipboard, w, owned);
  if (XGetSelectionOwner(d, a.clipboard) != w) return 1;
  std::fclose(stdout);
  // From here on it belongs to no terminal session: a closed terminal does
  // not take the text with it.
  setsid();
  for (;;) {
    XNextEvent(d, &e);
    if (e.type == SelectionClear) return 0;
    if (e.type == SelectionRequest) answer(d, e.xselectionrequest, text, owned, a);
  }
}
