// The values the INI rewriter writes, shared with the test that checks them.
#pragma once
#include <string>
#include <string_view>

inline constexpr std::string_view kRewriteSection = "Teste";
inline constexpr std::string_view kRewriteKey = "carga";

// Large, so that a kill often lands during a write; the number at both ends
// tells a whole value from a mix.
inline std::string rewriteValue(unsigned n) {
  const std::string number = std::to_string(n);
  return number + ":" + std::string(200000, static_cast<char>('a' + n % 26)) + ":" + number;
}
