// Libraries a program can do without (the system voices, and our own window
// and braille modules), opened when first asked for: they cost nothing at
// start, and their absence is a failure path, never a program that cannot
// start.
#pragma once
#include <string>
#include <utility>

namespace platform {

// The library by its file name, found as the loader finds libraries; null,
// with `why` set, when it cannot be opened. Opened once, never closed.
void* openLibrary(const char* file, std::string& why);

// The entry point `entry` of one of our own modules, `file` being its name
// beside the platform library; null when either cannot be found, dlerror()
// saying why.
void* moduleEntry(const char* file, const char* entry);

// A function of an opened library, null when it lacks it.
void* librarySymbol(void* library, const char* name);

// Points each function pointer at the library's function of the name
// before it: bindFunctions(lib, "f", f, "g", g). False when one is missing.
inline bool bindFunctions(void*) { return true; }
template <typename F, typename... Rest>
bool bindFunctions(void* library, const char* name, F*& function, Rest&&... rest) {
  function = reinterpret_cast<F*>(librarySymbol(library, name));
  return function && bindFunctions(library, std::forward<Rest>(rest)...);
}

// Opens the library and binds its functions as bindFunctions does: empty
// when done, else why not (in Portuguese, for the user's terminal).
template <typename... Functions>
std::string loadFunctions(const char* file, Functions&&... functions) {
  std::string why;
  void* library = openLibrary(file, why);
  if (library && !bindFunctions(library, std::forward<Functions>(functions)...)) {
    why = std::string("a biblioteca ") + file + " est\xC3\xA1 incompleta";
  }
  return why;
}

}  // namespace platform
