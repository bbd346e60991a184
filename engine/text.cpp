#include "engine/text.h"

#include <charconv>

#include "tts/chars.h"

namespace engine {

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string upper(std::string_view text) { return tts::upperLatin1(text); }

std::string decimal(int64_t n) {
  char digits[24];
  return std::string(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
}

bool startsUpper(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    // Plain ASCII is upper-cased here; the rest by the shared rule.
    const unsigned char u = c < 128 ? (c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c)
                                    : tts::upperLatin1(c);
    if (u != static_cast<unsigned char>(prefix[i])) return false;
  }
  return true;
}

}  // namespace engine
