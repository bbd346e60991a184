#include "platform/shared_library.h"

#include <dlfcn.h>

namespace platform {

void* openLibrary(const char* file, std::string& why) {
  void* library = ::dlopen(file, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* error = ::dlerror();
    why = error ? error : file;
  }
  return library;
}

void* librarySymbol(void* library, const char* name) { return library ? ::dlsym(library, name) : nullptr; }

}  // namespace platform
