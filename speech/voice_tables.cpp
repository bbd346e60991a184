#include "speech/voice_tables.h"

#include <algorithm>
#include <numeric>

namespace speech {
namespace {

constexpr int kSlowest = 80, kNormal = 175, kFastest = 450;

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// 0 Brazilian Portuguese, 1 other Portuguese, 2 anything else.
int group(const std::vector<std::string>& languages) {
  int best = 2;
  for (const std::string& language : languages) {
    const std::string l = lower(language);
    if (l == "pt-br" || l.starts_with("pt-br-")) return 0;
    if (l == "pt" || l.starts_with("pt-")) best = 1;
  }
  return best;
}

}  // namespace

int espeakRate(int speed) {
  if (speed < 0) return kNormal + std::max(speed, -10) * 19 / 2;
  if (speed < kSlowest) return std::min(kFastest, kNormal + speed * 55 / 2);
  return std::min(kFastest, speed);
}

// Clamped first: a script's number may be any 32-bit value.
int espeakPitch(int pitch) { return std::min(99, 50 + 5 * std::clamp(pitch, -10, 10)); }

int speechdRate(int speed) { return 10 * std::clamp(speed, -10, 10); }

std::vector<size_t> orderVoices(const std::vector<std::vector<std::string>>& languages) {
  std::vector<size_t> order(languages.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return group(languages[a]) < group(languages[b]); });
  return order;
}

}  // namespace speech
