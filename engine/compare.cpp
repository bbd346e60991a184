#include "engine/compare.h"

#include <algorithm>

#include "engine/text.h"
#include "tts/chars.h"

namespace engine {
namespace {

constexpr size_t kPaddedDigits = 21;

// The padded form read a byte at a time, without building it.
struct Padded {
  std::string_view value;
  bool digits;
  size_t zeros;  // leading zeros added
  size_t skip;   // digits of the value cut off at the front

  explicit Padded(std::string_view v) : value(v) {
    digits = std::all_of(v.begin(), v.end(), [](char c) { return isDigit(c); });
    zeros = skip = 0;
    if (!digits) return;
    const size_t withZeros = 20 + v.size();
    const size_t kept = std::min(withZeros, kPaddedDigits);
    skip = withZeros - kept;  // taken first from the twenty zeros
    zeros = skip < 20 ? 20 - skip : 0;
    skip = skip > 20 ? skip - 20 : 0;
  }
  size_t size() const { return digits ? zeros + value.size() - skip : value.size(); }
  unsigned char at(size_t i) const {
    if (!digits) return tts::upperLatin1(static_cast<unsigned char>(value[i]));
    return i < zeros ? '0' : static_cast<unsigned char>(value[skip + i - zeros]);
  }
};

// Two digit strings: their padded forms order as the numbers of their last
// 21 digits, the empty text below all.
int compareDigits(std::string_view a, std::string_view b) {
  if (a.empty() || b.empty()) return static_cast<int>(!a.empty()) - static_cast<int>(!b.empty());
  const auto significant = [](std::string_view v) {
    if (v.size() > kPaddedDigits) v.remove_prefix(v.size() - kPaddedDigits);
    while (v.size() > 1 && v[0] == '0') v.remove_prefix(1);
    return v;
  };
  a = significant(a);
  b = significant(b);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  const int c = a.compare(b);
  return (c > 0) - (c < 0);
}

}  // namespace

std::string paddedForm(std::string_view value) {
  const Padded p(value);
  std::string out(p.size(), ' ');
  for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<char>(p.at(i));
  return out;
}

int comparePadded(std::string_view a, std::string_view b) {
  const Padded pa(a), pb(b);
  if (pa.digits && pb.digits) return compareDigits(a, b);
  const size_t n = std::min(pa.size(), pb.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = pa.at(i), y = pb.at(i);
    if (x != y) return x < y ? -1 : 1;
  }
  return pa.size() < pb.size() ? -1 : pa.size() > pb.size() ? 1 : 0;
}

}  // namespace engine
