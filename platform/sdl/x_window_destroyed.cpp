#include "platform/sdl/x_window_destroyed.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <atomic>

namespace platform {
namespace {

// Errors come on whichever thread made the call: the wake-ups are sent from
// the sound thread too.
std::atomic<unsigned long> g_window{0};
std::atomic<bool> g_destroyed{false};
XErrorHandler g_previous = nullptr;

// A window that does not exist is news, never a reason to end the program
// as Xlib's own handler would: ours gone, or another one SDL still asks
// about (the window manager's frame when the manager goes away; once ours
// is gone, SDL goes on with what it could not read from it and names
// windows that never were).
int onError(Display* display, XErrorEvent* error) {
  const bool noSuchWindow = error->error_code == BadWindow || error->error_code == BadDrawable;
  if (noSuchWindow && error->resourceid == g_window) g_destroyed = true;
  if (noSuchWindow) return 0;
  return g_previous ? g_previous(display, error) : 0;
}

// Seen as SDL reads the notice, before the events it queued ahead of it (a
// lost focus, a repaint) reach the program and draw on the dead window.
int onEvent(void*, SDL_Event* event) {
  if (event->type != SDL_SYSWMEVENT || event->syswm.msg->subsystem != SDL_SYSWM_X11) return 0;
  const XEvent& x = event->syswm.msg->msg.x11.event;
  if (x.type == DestroyNotify && x.xdestroywindow.window == g_window) g_destroyed = true;
  return 0;
}

}  // namespace

void watchForDestroy(uint64_t window) {
  g_window = static_cast<unsigned long>(window);
  static const bool watching = [] {
    g_previous = XSetErrorHandler(onError);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    SDL_AddEventWatch(onEvent, nullptr);
    return true;
  }();
  (void)watching;
}

bool destroyNoticed() { return g_destroyed; }

}  // namespace platform
