#include "script_file.h"

#include <string_view>

#include "engine/store.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"

bool loadScriptFile(engine::Interp& in, const std::string& hostFile, std::string& error) {
  std::string text;
  if (!platform::readWholeFile(hostFile, text, engine::kMaxScriptBytes)) {
    error = text.size() > engine::kMaxScriptBytes
                ? "the script " + hostFile + " is larger than " + std::to_string(engine::kMaxScriptBytes >> 20) +
                      " MiB, more than any script of " + std::to_string(engine::kMaxLines) + " lines needs"
                : "cannot read the script " + hostFile;
    return false;
  }
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  if (platform::isMultibyteUtf8(text)) text = platform::utf8ToCp1252(text);
  std::string_view rest = text;
  int number = 0;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (++number > engine::kMaxLines) {
      error = "the script " + hostFile + " has more than " + std::to_string(engine::kMaxLines) +
              " lines, the most a script can hold";
      return false;
    }
    engine::storeLine(in, line, number);
  }
  if (number == 0) engine::setLineCount(in, 0);
  return true;
}
