// Outside text the platform layer reads: key scripts, and the paths scripts
// name, which must never map outside the data root.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/entries.h"
#include "fuzz/scratch_file.h"
#include "platform/base/paths.h"
#include "platform/keyscript.h"

namespace fuzz {
namespace {

namespace fs = std::filesystem;

void require(bool promise) {
  if (!promise) std::abort();
}

// A data root with a few folders, below the scratch folder; the first call
// makes it and points ESCUTA_ROOT at it.
const std::string& dataRoot() {
  static const std::string root = [] {
    scratchFile("raiz/Audiwin/Som/letras.wav", "");
    scratchFile("fora/x", "");
    const std::string r = fs::canonical(scratchDir() + "/raiz").string();
    ::setenv("ESCUTA_ROOT", r.c_str(), 1);
    return r;
  }();
  return root;
}

// The fuzzer writes its finds relative to where it started: each input
// gives the current directory back.
class InDirectory {
 public:
  explicit InDirectory(const std::string& dir) : was_(fs::current_path()) { require(::chdir(dir.c_str()) == 0); }
  ~InDirectory() { require(::chdir(was_.c_str()) == 0); }

 private:
  fs::path was_;
};

bool below(const fs::path& path, const fs::path& root) {
  const fs::path p = path.lexically_normal();
  auto r = root.begin();
  for (auto it = p.begin(); r != root.end(); ++it, ++r) {
    if (it == p.end() || *it != *r) return false;
  }
  return true;
}

}  // namespace

// The whole script parsed, then checked as a run checks it before it starts:
// both find the same fault, or none.
void keyScript(std::string_view bytes) {
  std::vector<platform::KeyStep> steps;
  std::string parseError;
  const bool parsed = platform::parseKeyScript(bytes, steps, parseError);
  require(parsed == parseError.empty());
  for (const platform::KeyStep& step : steps) require(!step.events.empty() && step.waitMs >= -1);
  std::istringstream in{std::string(bytes)};
  platform::KeyScriptReader checker(in, false);
  std::string checkError;
  for (platform::KeyStep step; checker.next(step, checkError);) {
  }
  require(checkError == parseError);
}

// The first byte picks the current directory: the data root, a folder or
// two below it, or a folder beside it; the rest is the path. Whatever the
// path, a drive, rooted or share path maps below the root, and so does a
// relative one from below the root. Only Linux paths ("/x") and relative
// paths from elsewhere are the user's own to place.
void pathMapping(std::string_view bytes) {
  if (bytes.empty()) return;
  const fs::path root = dataRoot();
  static const std::string kDirectories[] = {root.string(), root.string() + "/Audiwin", root.string() + "/Audiwin/Som",
                                             scratchDir() + "/fora"};
  const size_t which = static_cast<unsigned char>(bytes[0]) % std::size(kDirectories);
  const InDirectory in(kDirectories[which]);
  const std::string_view path = bytes.substr(1).substr(0, bytes.substr(1).find('\0'));
  const std::string mapped = platform::hostPath(bytes.substr(1));
  require(mapped.find('\0') == std::string::npos);
  const bool drive = path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
  const std::string_view rest = drive ? path.substr(2) : path;
  const bool rooted = !rest.empty() && (rest[0] == '/' || rest[0] == '\\');
  const bool linuxPath = !drive && rooted && rest[0] == '/' && !(rest.size() > 1 && rest[1] == '\\');
  const bool outside = which == std::size(kDirectories) - 1;
  if (path.empty() || linuxPath || (outside && !drive && !rooted)) return;
  require(below(fs::path(kDirectories[which]) / mapped, root));
}

}  // namespace fuzz
