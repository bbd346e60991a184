#include "engine/wildcard.h"

#include <string>

#include "engine/text.h"

namespace engine {
namespace {

// Iterative match with one back-tracking point, the last "*": linear in
// practice and never recursive, whatever the pattern.
bool matchUpper(std::string_view p, std::string_view n) {
  size_t pi = 0, ni = 0, starP = std::string_view::npos, starN = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
      ++pi, ++ni;
    } else if (pi < p.size() && p[pi] == '*') {
      starP = pi++;
      starN = ni;
    } else if (starP != std::string_view::npos) {
      pi = starP + 1;
      ni = ++starN;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace

bool wildcardMatch(std::string_view pattern, std::string_view name) {
  const std::string p = upper(pattern), n = upper(name);
  if (matchUpper(p, n)) return true;
  return p.ends_with(".*") && matchUpper(p.substr(0, p.size() - 2), n);
}

}  // namespace engine
