#include "text_fold.h"

namespace vitrine {

std::string foldForSearch(std::string_view s) {
  // Base letters of U+00C0..U+00FF, in order.
  static constexpr std::string_view kBase =
      "aaaaaaaceeeeiiiidnooooo*ouuuuyts"
      "aaaaaaaceeeeiiiidnooooo/ouuuuyty";
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 'A' && c <= 'Z') {
      out += static_cast<char>(c - 'A' + 'a');
    } else if (c == 0xC3 && i + 1 < s.size()) {
      const auto next = static_cast<unsigned char>(s[i + 1]);
      if (next >= 0x80 && next <= 0xBF) {
        out += kBase[next - 0x80];
        ++i;
      } else {
        out += s[i];
      }
    } else {
      out += s[i];
    }
  }
  return out;
}

}  // namespace vitrine
