// BUSCA: one directory search at a time. The matching entries are taken
// when the search starts, sorted by name without regard to case, so that a
// file removed or added meanwhile cannot upset the steps that follow. A file
// search leaves out hidden entries (names starting with ".") and
// directories; a directory search's first entry may be a file, its next
// ones are directories only.
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "engine/api.h"
#include "engine/libraries.h"
#include "engine/readers.h"
#include "engine/text.h"
#include "engine/variables.h"
#include "engine/wildcard.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"

namespace engine {
namespace {

constexpr size_t kMaxPattern = 513;

struct Found {
  std::string name;  // Windows-1252
  bool directory;
};

struct Search {
  std::vector<Found> entries;
  size_t next = 0;
  bool directories = false;
};

// The search under way, kept in the interpreter.
using SearchState = std::optional<Search>;

// The entries of the pattern's folder whose names match its last part.
Search startSearch(std::string_view pattern, bool directories) {
  Search s;
  s.directories = directories;
  const size_t cut = pattern.find_last_of("\\/");
  const std::string folder(cut == std::string_view::npos ? "" : pattern.substr(0, cut + 1));
  const std::string_view names = cut == std::string_view::npos ? pattern : pattern.substr(cut + 1);
  const std::string hostFolder = folder.empty() ? "." : platform::hostPath(folder);
  DIR* d = ::opendir(hostFolder.c_str());
  if (!d) return s;
  while (dirent* e = ::readdir(d)) {
    const std::string utf8 = e->d_name;
    if (utf8 == "." || utf8 == "..") continue;
    const std::string name = platform::utf8ToCp1252(utf8);
    if (!wildcardMatch(names, name)) continue;
    const bool dir = platform::isDirectory(hostFolder + "/" + utf8);
    if (!directories && (dir || name[0] == '.')) continue;
    s.entries.push_back({name, dir});
  }
  ::closedir(d);
  std::sort(s.entries.begin(), s.entries.end(),
            [](const Found& a, const Found& b) { return upper(a.name) < upper(b.name); });
  return s;
}

std::string nextEntry(Interp& in) {
  SearchState& search = libraryState<SearchState>(in);
  if (!search) return "";
  Search& s = *search;
  while (s.next < s.entries.size()) {
    const Found& e = s.entries[s.next++];
    if (e.directory == s.directories) return e.name;
  }
  search.reset();
  return "";
}

std::string currentDirectory() {
  char here[4096];
  return ::getcwd(here, sizeof here) ? platform::utf8ToCp1252(here) : "";
}

Status busca(Interp& in, std::string_view text) {
  int target;
  if (!readTarget(in, text, target) || text.empty()) return false;
  const bool directories = startsUpper(text, "DIR");
  if (directories) text = trim(text.substr(std::min<size_t>(4, text.size())));
  std::string found;
  SearchState& search = libraryState<SearchState>(in);
  if (startsUpper(text, "FIM")) {
    search.reset();
    return true;
  }
  if (startsUpper(text, "PR\xD3XIMO") || startsUpper(text, "PROXIMO")) {
    if (!trim(text.substr(7)).empty()) return false;
    found = nextEntry(in);
  } else if (text.empty()) {
    found = currentDirectory();
  } else {
    std::string pattern;
    if (!readOperand(in, text, pattern) || !text.empty() || pattern.size() > kMaxPattern) return false;
    search = startSearch(pattern, directories);
    if (!search->entries.empty()) {
      found = search->entries.front().name;
      search->next = 1;
    }
  }
  return setVariable(in, target, std::string(trim(found)));
}

constexpr Command kSearchCommands[] = {{"BUSCA", busca}};

}  // namespace

Library searchLibrary() { return kSearchCommands; }

}  // namespace engine
