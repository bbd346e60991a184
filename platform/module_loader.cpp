#include "platform/module_loader.h"

#include <dlfcn.h>

#include <string>

namespace platform {

void* moduleEntry(const char* file, const char* entry) {
  Dl_info self{};
  if (!dladdr(reinterpret_cast<void*>(&moduleEntry), &self) || !self.dli_fname) return nullptr;
  std::string path = self.dli_fname;
  path = path.substr(0, path.rfind('/') + 1) + file;
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  return handle ? dlsym(handle, entry) : nullptr;
}

}  // namespace platform
