#include "coverage.h"

#include <algorithm>
#include <map>

#include "speech/diphone/phone_units.h"

namespace difones {
namespace {

using Gaps = std::map<std::string, Coverage::Gap>;

void note(Gaps& gaps, const std::string& key, const std::string& word) {
  Coverage::Gap& gap = gaps[key];
  if (gap.count++ == 0) gap.example = word;
}

std::vector<std::pair<std::string, Coverage::Gap>> mostNeededFirst(const Gaps& gaps) {
  std::vector<std::pair<std::string, Coverage::Gap>> out(gaps.begin(), gaps.end());
  std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.second.count > b.second.count; });
  return out;
}

}  // namespace

Coverage checkCoverage(const speech::DiphoneText& voice, const std::vector<std::string>& words,
                       const std::set<std::string>& units, const std::set<std::string>& letters) {
  Gaps missing, unhandled;
  for (const std::string& word : words) {
    std::string notTaken;
    const std::string phones = speech::textToPhones(voice, word, &notTaken);
    for (const char c : notTaken) note(unhandled, std::string(1, c), word);
    speech::walkPhones(phones, 0,
                       {[&](std::string_view name, int, double) {
                          std::string key(name);
                          if (key[0] == '$')
                            std::transform(key.begin(), key.end(), key.begin(),
                                           [](char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
                          if (!(key[0] == '$' ? units : letters).contains(key)) note(missing, key, word);
                        },
                        [](int) {}});
  }
  return {words.size(), mostNeededFirst(missing), mostNeededFirst(unhandled)};
}

}  // namespace difones
