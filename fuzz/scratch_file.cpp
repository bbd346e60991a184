#include "fuzz/scratch_file.h"

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fuzz {

const std::string& scratchDir() {
  // Never destroyed, so that the removal at exit can still name it.
  static const std::string* dir = [] {
    // In memory where the system offers it: every input writes a file.
    std::string tmpl = std::filesystem::is_directory("/dev/shm") ? "/dev/shm/escuta-fuzz-XXXXXX" : "/tmp/escuta-fuzz-XXXXXX";
    const char* made = mkdtemp(tmpl.data());
    if (!made) std::abort();
    auto* name = new std::string(made);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(scratchDir(), ignored);
    });
    return name;
  }();
  return *dir;
}

std::string scratchFile(std::string_view name, std::string_view bytes) {
  const std::string path = scratchDir() + "/" + std::string(name);
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  std::fclose(f);
  return path;
}

}  // namespace fuzz
