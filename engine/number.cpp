#include "engine/number.h"

#include "engine/text.h"

namespace engine {
namespace {

int hexDigit(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool readHex(std::string_view digits, int32_t& value) {
  if (digits.empty() || digits.size() > 8) return false;
  uint32_t v = 0;
  for (char c : digits) {
    const int d = hexDigit(c);
    if (d < 0) return false;
    v = v << 4 | static_cast<uint32_t>(d);
  }
  value = static_cast<int32_t>(v);
  return true;
}

}  // namespace

bool numberValue(std::string_view text, int32_t& value) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (text.empty()) return false;
  if (text[0] == '$' || text[0] == 'x' || text[0] == 'X') return readHex(text.substr(1), value);
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return readHex(text.substr(2), value);
  const bool negative = text[0] == '-';
  if (text[0] == '-' || text[0] == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const int64_t limit = negative ? 2147483648LL : 2147483647LL;
  int64_t v = 0;
  for (char c : text) {
    if (!isDigit(c)) return false;
    v = v * 10 + (c - '0');
    if (v > limit) return false;
  }
  value = static_cast<int32_t>(negative ? -v : v);
  return true;
}

}  // namespace engine
