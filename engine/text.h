// Byte-text helpers of the script engine. Script text is Windows-1252 bytes;
// "blank" means any byte of code 32 or less, as every reader trims them.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

inline bool isBlank(char c) { return static_cast<unsigned char>(c) <= 32; }
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }
inline bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Without leading and trailing blanks.
std::string_view trim(std::string_view text);

// Upper-cased the way every keyword and name is compared (a-z, and codes
// above 223 lose 32).
std::string upper(std::string_view text);

// Plain decimal: "-" when negative, no leading zeros.
std::string decimal(int64_t n);

// Whether `text` starts with `prefix` once upper-cased; `prefix` is capitals.
bool startsUpper(std::string_view text, std::string_view prefix);
// Whether `text` upper-cased is `capitals`.
inline bool equalsUpper(std::string_view text, std::string_view capitals) {
  return text.size() == capitals.size() && startsUpper(text, capitals);
}

}  // namespace engine
