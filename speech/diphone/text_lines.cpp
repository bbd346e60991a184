#include "speech/diphone/text_lines.h"

#include <string_view>

#include "platform/base/paths.h"

namespace speech {

bool readTextLines(const std::string& hostPath, std::vector<std::string>& lines, size_t maxLength) {
  std::string contents;
  if (!platform::readWholeFile(hostPath, contents)) return false;
  lines.clear();
  std::string_view rest = contents;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == rest.npos ? rest.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line.substr(0, maxLength));
  }
  return true;
}

}  // namespace speech
