// embed_script: turns script files (UTF-8 or Windows-1252) into the table of
// Windows-1252 lines a program carries built in. Several files are joined in
// order, so a long script can be kept one file per concern. A character that
// Windows-1252 cannot hold, or more lines than a script may have, stops the
// build here rather than reaching a user as a "?".
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/base/paths.h"

namespace {

constexpr size_t kMaxLines = 5000;

bool readLines(const std::string& file, std::vector<std::string>& lines) {
  std::string text;
  if (!platform::readWholeFile(file, text)) {
    std::fprintf(stderr, "embed_script: cannot read %s\n", file.c_str());
    return false;
  }
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  if (platform::isMultibyteUtf8(text)) {
    std::string converted = platform::utf8ToCp1252(text, '\x01');
    if (const size_t bad = converted.find('\x01'); bad != std::string::npos) {
      std::fprintf(stderr, "embed_script: %s: a character Windows-1252 cannot hold, near \"%s\"\n",
                   file.c_str(), platform::cp1252ToUtf8(converted.substr(bad > 20 ? bad - 20 : 0, 40)).c_str());
      return false;
    }
    text = std::move(converted);
  }
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (line.ends_with('\r')) line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return true;
}

// A C++ string literal; octal escapes, which never swallow a following digit
// beyond three.
std::string literal(const std::string& line) {
  std::string out = "\"";
  for (unsigned char c : line) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\%03o", c);
      out += buf;
    }
  }
  return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: embed_script OUTPUT.cpp SCRIPT...\n");
    return 2;
  }
  std::vector<std::string> lines;
  for (int i = 2; i < argc; ++i)
    if (!readLines(argv[i], lines)) return 1;
  if (lines.size() > kMaxLines) {
    std::fprintf(stderr, "embed_script: %zu lines; a script holds at most %zu\n", lines.size(), kMaxLines);
    return 1;
  }
  std::string out = "// Made by embed_script from the program's script files.\n"
                    "#include \"apps/common/embedded_script.h\"\n\n"
                    "namespace {\nconst char* const kLines[] = {\n";
  for (const std::string& line : lines) out += "    " + literal(line) + ",\n";
  out += "    nullptr};\n}  // namespace\n\n"
         "const app::EmbeddedScript app::kEmbeddedScript = {kLines, " + std::to_string(lines.size()) + "};\n";
  if (!platform::replaceFileAtomically(argv[1], out)) {
    std::fprintf(stderr, "embed_script: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
