#include "platform/base/profile.h"

#include <cstdint>
#include <vector>

#include "platform/base/paths.h"

namespace platform {
namespace {

struct Line {
  std::string_view text;  // without its line end
  std::string_view end;   // "\r\n", "\n" or "" for the last line
};

std::vector<Line> splitLines(std::string_view ini) {
  std::vector<Line> lines;
  while (!ini.empty()) {
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
    lines.push_back(l);
  }
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

}  // namespace

std::string profileValue(std::string_view ini, std::string_view section, std::string_view key,
                         std::string_view def, size_t maxLen) {
  bool inSection = false;
  std::string_view result = def;
  bool found = false;
  for (const Line& l : splitLines(ini)) {
    std::string_view name, k, v;
    if (sectionName(l.text, name)) {
      if (found) break;
      inSection = sameName(name, section);
    } else if (inSection && entry(l.text, k, v) && sameName(k, key)) {
      if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
      }
      result = v;
      found = true;
      break;
    }
  }
  if (maxLen == 0) return {};
  return std::string(result.substr(0, maxLen - 1));
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
  std::string ini;
  if (!readWholeFile(file, ini)) ini.clear();
  return profileValue(ini, section, key, def, maxLen);
}

bool writeProfileString(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view value) {
  std::string ini;
  if (!readWholeFile(file, ini)) ini.clear();
  const size_t slash = file.rfind('/');
  if (slash != std::string::npos && slash > 0 && !makeDirectories(file.substr(0, slash))) return false;
  return replaceFileAtomically(file, profileWithValue(ini, section, key, value));
}

}  // namespace platform
