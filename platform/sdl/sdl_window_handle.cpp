#include "platform/sdl/sdl_window_handle.h"

#include <SDL_syswm.h>

namespace platform {

uint64_t sdlWindowHandle(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return 0;
  return static_cast<uint64_t>(info.info.x11.window);
}

}  // namespace platform
