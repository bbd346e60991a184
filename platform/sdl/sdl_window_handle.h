// The window system's handle of an SDL window, apart from the backend: the
// header that gives it brings the X11 headers and their macros along.
#pragma once
#include <SDL.h>

#include <cstdint>

namespace platform {

// The X window id; 0 when the window is not an X11 one.
uint64_t sdlWindowHandle(SDL_Window* window);

}  // namespace platform
