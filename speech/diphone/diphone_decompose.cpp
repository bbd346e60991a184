#include "speech/diphone/diphone_decompose.h"

#include <array>

#include "speech/diphone/diphone_chars.h"

namespace speech {
namespace {

using Entry = std::string_view;
constexpr Entry kSelf = "=";  // stands for the character itself
constexpr Entry kEmpty = "";

// Codes 192 to 223; 224 to 255 map like their capitals, except ÷ and ÿ.
constexpr std::array<Entry, 32> kLetters = {
    "a`", "a'", "a^", "a~", "a~", "aa", "ae", "ss",  // À Á Â Ã Ä Å Æ Ç
    "e`", "e'", "e^", "e\"", "i`", "i'", "i^", "i\"",  // È É Ê Ë Ì Í Î Ï
    kEmpty, "nh", "o`", "o'", "o^", "o~", "o`", kSelf,  // Ð Ñ Ò Ó Ô Õ Ö ×
    "oe", "u`", "u'", "u^", "u", "y", "th", "ss"};       // Ø Ù Ú Û Ü Ý Þ ß

// Codes 128 to 191 whose entry is empty: the unassigned ones and symbols no
// word is spelled with.
bool emptyBelow192(unsigned char c) {
  switch (c) {
    case 129: case 130: case 131: case 132: case 136: case 138: case 139: case 140:
    case 141: case 142: case 143: case 144: case 152: case 154: case 155: case 156:
    case 157: case 158: case 159: case 166: case 173: case 182:
      return true;
    default:
      return false;
  }
}

Entry entryOf(unsigned char c) {
  if (c == 160) return " ";
  if (c < 192) return emptyBelow192(c) ? kEmpty : kSelf;
  if (c == 247) return kSelf;       // ÷
  if (c == 255) return "y";         // ÿ
  return kLetters[(c - 192) % 32];
}

bool letterAt(std::string_view text, size_t i) {
  return i < text.size() && isRuleLetter(static_cast<unsigned char>(text[i]));
}

}  // namespace

std::string decomposeText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const bool besideLetter = (i > 0 && letterAt(text, i - 1)) || letterAt(text, i + 1);
    if (c < 32) continue;
    if (c == '\'' && i > 0 && (text[i - 1] == 'D' || text[i - 1] == 'd')) continue;
    if ((c == 'W' || c == 'w') && besideLetter) {
      out += 'u';
    } else if ((c == 'Y' || c == 'y') && besideLetter) {
      out += 'i';
    } else if (c < 128) {
      out += static_cast<char>(c);
    } else {
      const Entry entry = entryOf(c);
      if (entry == kSelf)
        out += static_cast<char>(c);
      else if (entry.empty())
        out.append(" \0 ", 3);
      else
        out += entry;
    }
  }
  return out;
}

}  // namespace speech
