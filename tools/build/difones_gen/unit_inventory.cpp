#include "unit_inventory.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "speech/diphone/diphone_db.h"
#include "speech/diphone/text_lines.h"

namespace difones {
namespace {

struct Entry {
  std::string key, value;
};

// Lines of "key=value" below "[section]" headings; ";" starts a comment line.
bool readSections(const std::string& path, std::map<std::string, std::vector<Entry>>& sections,
                  std::vector<std::string>& problems) {
  std::vector<std::string> lines;
  if (!speech::readTextLines(path, lines)) {
    problems.push_back(path + ": ausente");
    return false;
  }
  std::string section;
  const size_t before = problems.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == 0 || equals == line.npos || section.empty()) {
      problems.push_back(path + ":" + std::to_string(i + 1) + ": esperava nome=valor numa se\xE7\xE3o");
      continue;
    }
    sections[section].push_back({line.substr(0, equals), line.substr(equals + 1)});
  }
  return problems.size() == before;
}

}  // namespace

bool readUnits(const std::string& path, std::vector<Unit>& units, std::vector<std::string>& problems) {
  std::map<std::string, std::vector<Entry>> sections;
  if (!readSections(path, sections, problems)) return false;
  std::map<std::string, Unit> byName;
  auto add = [&](const std::string& name, const std::string& phonemes) {
    if (name.size() + 1 <= speech::kMaxUnitName) byName["$" + name] = {"$" + name, phonemes};
  };
  for (const Entry& onset : sections["inicios"]) add(onset.key, onset.value);
  for (const Entry& nucleus : sections["nucleos"]) {
    add(nucleus.key, nucleus.value);
    for (const Entry& onset : sections["inicios"]) add(onset.key + nucleus.key, onset.value + nucleus.value);
  }
  for (const Entry& extra : sections["extras"]) add(extra.key, extra.value);
  units.clear();
  for (const auto& entry : byName) units.push_back(entry.second);
  return !units.empty();
}

bool readLetters(const std::string& path, std::vector<Letter>& letters, std::vector<std::string>& problems) {
  std::map<std::string, std::vector<Entry>> sections;
  if (!readSections(path, sections, problems)) return false;
  letters.clear();
  const size_t before = problems.size();
  for (const Entry& e : sections["letras"]) {
    char* end = nullptr;
    const long code = std::strtol(e.key.c_str(), &end, 10);
    if (*end != 0 || code < 0 || code > 255 || e.value.empty())
      problems.push_back(path + ": c\xF3" "digo inv\xE1lido " + e.key);
    else
      letters.push_back({"_" + std::to_string(code), e.value});
  }
  for (const Entry& e : sections["pecas"]) {
    if (e.key[0] != '_' || e.value.empty())
      problems.push_back(path + ": pe\xE7" "a sem \"_\" no come\xE7o: " + e.key);
    else
      letters.push_back({e.key, e.value});
  }
  return !letters.empty() && problems.size() == before;
}

}  // namespace difones
