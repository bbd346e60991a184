#include "platform/shared_library.h"

#include <dlfcn.h>

#include <string>

namespace platform {

void* openLibrary(const char* file, std::string& why) {
  void* library = ::dlopen(file, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* error = ::dlerror();
    why = error ? error : file;
  }
  return library;
}

void* moduleEntry(const char* file, const char* entry) {
  Dl_info self{};
  if (!dladdr(reinterpret_cast<void*>(&moduleEntry), &self) || !self.dli_fname) return nullptr;
  std::string path = self.dli_fname;
  path = path.substr(0, path.rfind('/') + 1) + file;
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  return handle ? dlsym(handle, entry) : nullptr;
}

void* librarySymbol(void* library, const char* name) { return library ? ::dlsym(library, name) : nullptr; }

}  // namespace platform
