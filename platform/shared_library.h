// Outside libraries a program can do without (the system voices), opened
// when first asked for: they cost nothing at start, and their absence is a
// failure path, never a program that cannot start.
#pragma once
#include <string>

namespace platform {

// The library by its file name, found as the loader finds libraries; null,
// with `why` set, when it cannot be opened. Opened once, never closed.
void* openLibrary(const char* file, std::string& why);

// A function of an opened library, null when it lacks it.
void* librarySymbol(void* library, const char* name);

// Points `function` at the library's function of that name; false when missing.
template <typename F>
bool bindFunction(void* library, const char* name, F*& function) {
  function = reinterpret_cast<F*>(librarySymbol(library, name));
  return function != nullptr;
}

}  // namespace platform
