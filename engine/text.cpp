#include "engine/text.h"

#include "tts/chars.h"

namespace engine {

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string upper(std::string_view text) { return tts::upperLatin1(text); }

std::string decimal(int64_t n) { return std::to_string(n); }

bool startsUpper(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (tts::upperLatin1(static_cast<unsigned char>(text[i])) != static_cast<unsigned char>(prefix[i])) return false;
  }
  return true;
}

}  // namespace engine
