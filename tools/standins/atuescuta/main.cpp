// atuescuta: the suite's menu updater. Merges an update file (INI text in
// Windows-1252: sections and KEY=value lines) into the user's Escuta.ini,
// each key written into its section, every other line of Escuta.ini kept.
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/base/paths.h"
#include "platform/base/printable.h"
#include "settings/settings.h"

namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.remove_suffix(1);
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  const char* const usage = "usage: atuescuta FILE.atu\nMerges the sections and keys of FILE.atu into Escuta.ini.\n";
  if (argc == 2 && std::string_view(argv[1]) == "--help") {
    std::fputs(usage, stdout);
    return 0;
  }
  if (argc != 2) {
    std::fputs(usage, stderr);
    return 2;
  }
  std::string text;
  const std::string file = platform::hostPath(argv[1]);
  if (!platform::readWholeFile(file, text)) {
    platform::printError("atuescuta", "cannot read " + file);
    return 1;
  }
  std::string section;
  int written = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = trimmed(std::string_view(text).substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      section = std::string(trimmed(line.substr(1, line.size() - 2)));
      continue;
    }
    const size_t eq = line.find('=');
    if (section.empty() || eq == std::string_view::npos || eq == 0) continue;
    settings::writeSetting(section, trimmed(line.substr(0, eq)), trimmed(line.substr(eq + 1)));
    ++written;
  }
  std::printf("atuescuta: %d keys merged into %s/Escuta.ini\n", written,
              platform::printable(settings::configDir()).c_str());
  return 0;
}
