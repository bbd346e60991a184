#include "platform/base/profile.h"

#include <errno.h>
#include <sys/stat.h>

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/base/paths.h"
#include "platform/base/printable.h"

namespace platform {
namespace {

struct Line {
  std::string_view text;  // without its line end
  std::string_view end;   // "\r\n", "\n" or "" for the last line
};

// The first line of a text that is not empty, taken off it.
Line takeLine(std::string_view& ini) {
  const size_t nl = ini.find('\n');
  Line l;
  if (nl == std::string_view::npos) {
    l.text = ini;
    ini = {};
  } else {
    const bool cr = nl > 0 && ini[nl - 1] == '\r';
    l.text = ini.substr(0, cr ? nl - 1 : nl);
    l.end = ini.substr(cr ? nl - 1 : nl, cr ? 2 : 1);
    ini.remove_prefix(nl + 1);
  }
  return l;
}

std::vector<Line> splitLines(std::string_view ini) {
  std::vector<Line> lines;
  while (!ini.empty()) lines.push_back(takeLine(ini));
  return lines;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

// "[name]" gives the name; anything else is not a section header.
bool sectionName(std::string_view line, std::string_view& name) {
  line = trim(line);
  if (line.size() < 2 || line.front() != '[') return false;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  name = trim(line.substr(1, close - 1));
  return true;
}

// "key=value" gives both; comments and lines without "=" are not entries.
bool entry(std::string_view line, std::string_view& key, std::string_view& value) {
  const std::string_view t = trim(line);
  if (t.empty() || t.front() == ';') return false;
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = trim(line.substr(0, eq));
  value = trim(line.substr(eq + 1));
  return true;
}

// "key=value" lines by the section they are in, in the file's order; lines
// before the first section belong to none. Stops when `visit` says so.
template <class Visit>
void visitEntries(std::string_view ini, Visit visit) {
  bool inSection = false;
  std::string_view section;
  while (!ini.empty()) {
    const std::string_view line = takeLine(ini).text;
    std::string_view name, k, v;
    if (sectionName(line, name)) {
      section = name;
      inSection = true;
    } else if (inSection && entry(line, k, v) && !visit(section, k, v)) {
      return;
    }
  }
}

// A value in matching quotes loses them.
std::string_view unquoted(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) return v.substr(1, v.size() - 2);
  return v;
}

std::string cut(std::string_view value, size_t maxLen) {
  return maxLen == 0 ? std::string() : std::string(value.substr(0, maxLen - 1));
}

// A file as last read, known by what changes whenever it is written: it is
// read again only then, so that a large file costs one read, and each of its
// sections one pass, not one for every setting, while every change is still
// seen at the next read.
struct Identity {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{}, changed{};
  bool operator==(const Identity& o) const {
    return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
           modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
           changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
  }
};

struct NoCaseHash {
  size_t operator()(std::string_view s) const {
    size_t h = 14695981039346656037ull;
    for (unsigned char c : s) h = (h ^ static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c)) * 1099511628211ull;
    return h;
  }
};
struct NoCaseEqual {
  bool operator()(std::string_view a, std::string_view b) const { return sameName(a, b); }
};
// A section's keys and their first values, viewing the file's text.
using Section = std::unordered_map<std::string_view, std::string_view, NoCaseHash, NoCaseEqual>;

struct CachedFile {
  Identity identity;
  std::string text;
  bool usable = true;  // false when it holds NUL bytes: no INI file does
  std::unordered_map<std::string, Section, NoCaseHash, NoCaseEqual> sections;  // as they are asked for
};

std::mutex g_cacheMutex;
std::unordered_map<std::string, CachedFile> g_cache;

Identity identityOf(const std::string& file) {
  struct stat st{};
  if (::stat(file.c_str(), &st) != 0) return {};
  return {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// The file as it is now; the cache's lock is held.
CachedFile& current(const std::string& file) {
  CachedFile& cached = g_cache[file];
  const Identity now = identityOf(file);
  if (now == cached.identity) return cached;
  cached = CachedFile{now, {}, true, {}};
  if (now.exists && !readWholeFile(file, cached.text)) cached.text.clear();
  if (cached.text.find('\0') != std::string::npos) {
    cached.usable = false;
    cached.text.clear();
    printError(program_invocation_short_name,
               file + " holds NUL bytes, which no settings file does: it is left as it is, and the defaults are used");
  }
  return cached;
}

const Section& sectionOf(CachedFile& cached, std::string_view name) {
  const auto made = cached.sections.try_emplace(std::string(name));
  Section& values = made.first->second;
  if (made.second) {
    visitEntries(cached.text, [&](std::string_view section, std::string_view k, std::string_view v) {
      if (sameName(section, name)) values.try_emplace(k, v);
      return true;
    });
  }
  return values;
}

}  // namespace

std::string profileValue(std::string_view ini, std::string_view section, std::string_view key,
                         std::string_view def, size_t maxLen) {
  std::string_view result = def;
  visitEntries(ini, [&](std::string_view name, std::string_view k, std::string_view v) {
    if (!sameName(name, section) || !sameName(k, key)) return true;
    result = unquoted(v);
    return false;
  });
  return cut(result, maxLen);
}

std::string profileWithValue(std::string_view ini, std::string_view section, std::string_view key,
                             std::string_view value) {
  std::vector<Line> lines = splitLines(ini);
  std::string_view eol = "\n";
  for (const Line& l : lines) {
    if (!l.end.empty()) {
      eol = l.end;
      break;
    }
  }
  // The section's header, its last non-blank line, and the key's line.
  size_t sectionAt = SIZE_MAX, lastLine = SIZE_MAX, keyAt = SIZE_MAX;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view name, k, v;
    if (sectionName(lines[i].text, name)) {
      if (sectionAt != SIZE_MAX) break;
      if (sameName(name, section)) sectionAt = lastLine = i;
    } else if (sectionAt != SIZE_MAX && !trim(lines[i].text).empty()) {
      lastLine = i;
      if (keyAt == SIZE_MAX && entry(lines[i].text, k, v) && sameName(k, key)) keyAt = i;
    }
  }
  std::string changed;  // the rewritten key line keeps the key's own spelling
  if (keyAt != SIZE_MAX) {
    std::string_view k, v;
    entry(lines[keyAt].text, k, v);
    changed = std::string(k) + "=" + std::string(value);
    lines[keyAt].text = changed;
  }
  const std::string added = std::string(key) + "=" + std::string(value);
  const std::string header = "[" + std::string(section) + "]";
  std::vector<Line> insert;
  size_t insertAt = lines.size();
  if (sectionAt == SIZE_MAX) {
    insert = {{header, eol}, {added, eol}};
  } else if (keyAt == SIZE_MAX) {
    insert = {{added, eol}};
    insertAt = lastLine + 1;
  }
  if (!insert.empty() && insertAt > 0 && lines[insertAt - 1].end.empty()) lines[insertAt - 1].end = eol;
  lines.insert(lines.begin() + static_cast<long>(insertAt), insert.begin(), insert.end());
  std::string out;
  out.reserve(ini.size() + added.size() + header.size() + 4);
  for (const Line& l : lines) {
    out += l.text;
    out += l.end;
  }
  return out;
}

std::string readProfileString(const std::string& file, std::string_view section, std::string_view key,
                              std::string_view def, size_t maxLen) {
  const std::lock_guard lock(g_cacheMutex);
  const Section& values = sectionOf(current(file), section);
  const auto found = values.find(key);
  return cut(found == values.end() ? def : unquoted(found->second), maxLen);
}

bool writeProfileString(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view value) {
  const std::lock_guard lock(g_cacheMutex);
  CachedFile& cached = current(file);
  if (!cached.usable) return false;
  const size_t slash = file.rfind('/');
  if (slash != std::string::npos && slash > 0 && !makeDirectories(file.substr(0, slash))) return false;
  std::string text = profileWithValue(cached.text, section, key, value);
  if (!replaceFileAtomically(file, text)) return false;
  cached = CachedFile{identityOf(file), std::move(text), true, {}};
  return true;
}

}  // namespace platform
