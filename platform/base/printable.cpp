#include "platform/base/printable.h"

#include <cstdio>

#include "platform/base/codepage.h"

namespace platform {

std::string printable(std::string_view utf8) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    const size_t start = pos;
    const char32_t c = decodeUtf8(utf8, pos);
    const bool malformed = c == 0xFFFD && pos - start == 1;
    if (!malformed && c >= 0x20 && !(c >= 0x7F && c <= 0x9F)) {
      out.append(utf8, start, pos - start);
      continue;
    }
    for (size_t i = start; i < pos; ++i) {
      const auto b = static_cast<unsigned char>(utf8[i]);
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    }
  }
  return out;
}

void printError(std::string_view program, std::string_view message) {
  const std::string line = std::string(program) + ": " + printable(message) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace platform
