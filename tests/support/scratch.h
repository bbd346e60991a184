// Helpers the tests share: a scratch folder removed afterwards, and whole files.
#pragma once
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testsupport {

// A fresh folder under /tmp for one test, removed with its contents.
class ScratchDir {
 public:
  ScratchDir() {
    char tmpl[] = "/tmp/escuta-test-XXXXXX";
    path_ = mkdtemp(tmpl);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::string slurp(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace testsupport
