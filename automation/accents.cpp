#include "automation/accents.h"

#include <string_view>

namespace automation {
namespace {

struct Accent {
  uint8_t accent;
  std::string_view letters;  // Windows-1252
  std::string_view bases;
};

const Accent kAccents[] = {
    {'`', "\xC0\xC8\xCC\xD2\xD9\xE0\xE8\xEC\xF2\xF9", "AEIOUaeiou"},
    {0xB4, "\xC1\xC9\xCD\xD3\xDA\xDD\xE1\xE9\xED\xF3\xFA\xFD", "AEIOUYaeiouy"},
    {'^', "\xC2\xCA\xCE\xD4\xDB\xE2\xEA\xEE\xF4\xFB", "AEIOUaeiou"},
    {'~', "\xC3\xD1\xD5\xE3\xF1\xF5", "ANOano"},
    {0xA8, "\xC4\xCB\xCF\xD6\xDC\x9F\xE4\xEB\xEF\xF6\xFC\xFF", "AEIOUYaeiouy"},
};

}  // namespace

bool decomposeAccent(uint8_t c, uint8_t& accent, uint8_t& base) {
  for (const Accent& a : kAccents) {
    const size_t at = a.letters.find(static_cast<char>(c));
    if (at == std::string_view::npos) continue;
    accent = a.accent;
    base = static_cast<uint8_t>(a.bases[at]);
    return true;
  }
  return false;
}

}  // namespace automation
