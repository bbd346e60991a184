#include "speech/diphone/phone_units.h"

#include <string>

#include "speech/diphone/diphone_chars.h"

namespace speech {
namespace {

constexpr size_t kMaxUnit = 40;
constexpr size_t kMaxName = 12;
// A unit this long is ended by the "/" between two rule outputs.
constexpr size_t kSlashEndsUnit = 9;

struct Walker {
  const PhoneWalk& walk;
  int stress = 1;

  void play(std::string_view u, double share) {
    if (u[0] == '_') {
      if (u.size() >= 2) walk.unit("_" + std::to_string(static_cast<unsigned char>(u[1])), stress, share);
      return;
    }
    std::string name = "$";
    bool stressed = false;
    for (const char c : u) {
      if (isStressedVowel(static_cast<unsigned char>(c))) {
        stress = 2;
        stressed = true;
      }
      if (c == '^' || c == '~') {
        walk.unit(name + (c == '^' ? "CIRC" : "TIL"), stress, share);
        name = "$";
      } else if (name.size() < kMaxName) {
        name += c;
      }
    }
    if (name != "$") walk.unit(name, stress, share);
    if (stressed) stress = 0;
  }

  void split(std::string_view u, double share) {
    const size_t n = u.size();
    if (n == 0) return;
    if (n == 1) return play(u, share);
    auto consonant = [&](size_t i) { return isPhoneConsonant(static_cast<unsigned char>(u[i])); };
    if (n > 2) {
      const bool heldTogether = u.starts_with("dj") || u.starts_with("nh") || u.starts_with("rr") ||
                                u.starts_with("ks") || u.starts_with("tch");
      if (consonant(0) && consonant(1) && !heldTogether) {
        play(u.substr(0, 1), 1.0);
        return split(u.substr(1), share);
      }
      if (u.ends_with("rr")) {
        split(u.substr(0, n - 2), share);
        return play("rr", share);
      }
      if (consonant(n - 1)) {
        split(u.substr(0, n - 1), share);
        return split(u.substr(n - 1), share);
      }
    }
    const unsigned char last = static_cast<unsigned char>(u[n - 1]);
    const unsigned char before = static_cast<unsigned char>(u[n - 2]);
    if (isGlide(last) && isPhoneVowel(before) && n > 2) {
      split(u.substr(0, n - 1), 0.6);
      return play(u.substr(n - 2), share);
    }
    // A nasal diphthong: the vowel before it, closed, leads into vowel,
    // glide and mark played as one ("ma~w" is "ma^" and "aw~").
    if (isGlide(last) && isNasalMark(before) && n >= 3) {
      if (n > 3) {
        const std::string lead = before == '~' ? std::string(u.substr(0, n - 2)) + "^" : std::string(u.substr(0, n - 1));
        split(lead, 0.6);
      }
      const char diphthong[] = {u[n - 3], u[n - 1], u[n - 2]};
      return play(std::string_view(diphthong, 3), share);
    }
    if (u != "_s" && last == 's') {
      split(u.substr(0, n - 1), 0.7);
      return play("s", share);
    }
    play(u, share);
  }
};

}  // namespace

int punctuationPause(char c) {
  switch (c) {
    case ',': return 4000;
    case '.': case ':': return 8000;
    case ';': return 6000;
    default: return 0;
  }
}

void walkPhones(std::string_view phones, int wordGap, const PhoneWalk& walk) {
  Walker w{walk};
  size_t pos = 0;
  while (pos < phones.size()) {
    if (phones[pos] == '[') {
      ++pos;
      w.stress = 1;
    }
    std::string unit;
    char end = 0;
    while (pos < phones.size()) {
      const char c = phones[pos++];
      if (c == ' ' || c == ']' || (c == '/' && unit.size() >= kSlashEndsUnit)) {
        end = c;
        break;
      }
      if (c == '/') continue;
      if (c == '_' && pos < phones.size()) {
        if (unit.size() + 2 <= kMaxUnit) unit.append({c, phones[pos]});
        ++pos;
      } else if (unit.size() < kMaxUnit) {
        unit += c;
      }
    }
    if (unit.size() == 2 && unit[0] == '_' && punctuationPause(unit[1]) > 0) {
      walk.silence(punctuationPause(unit[1]));
      unit.clear();
    }
    w.split(unit, 1.0);
    if (pos < phones.size() && end != ' ') walk.silence(wordGap);
  }
}

}  // namespace speech
