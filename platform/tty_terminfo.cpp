#include "platform/tty_terminfo.h"

#include <curses.h>
#include <term.h>

namespace platform {
namespace {

std::string* g_into = nullptr;

int putInto(int c) {
  g_into->push_back(static_cast<char>(c));
  return c;
}

// tigetstr answers (char*)-1 for a name that is not a string capability.
const char* stringCap(const char* name) {
  const char* s = tigetstr(name);
  return s == reinterpret_cast<const char*>(-1) ? nullptr : s;
}

}  // namespace

bool loadTerminfo() {
  static const bool loaded = [] {
    int error = 0;
    return setupterm(nullptr, 1, &error) == OK;
  }();
  return loaded;
}

std::string terminfoString(const char* name) {
  const char* s = stringCap(name);
  return s ? s : "";
}

int terminfoNumber(const char* name) { return tigetnum(name); }

bool terminfoFlag(const char* name) { return tigetflag(name) > 0; }

std::string terminfoOutput(const char* name, int p1, int p2, int p3) {
  const char* s = stringCap(name);
  if (!s) return "";
  const char* filled = tiparm(s, p1, p2, p3);
  if (!filled) return "";
  std::string out;
  g_into = &out;
  tputs(filled, 1, putInto);
  g_into = nullptr;
  return out;
}

}  // namespace platform
