#include "tts/stress.h"

#include <array>
#include <string>

#include "tts/chars.h"

namespace tts {
namespace {

bool in(unsigned char c, std::string_view set) { return set.find(static_cast<char>(c)) != set.npos; }

// á â é ê í ó ô ú mark the stress wherever they stand. ã õ mark it only in a
// word without them (órgão, bênção), and à never does (àquele).
constexpr std::string_view kStrongAccents = "\xE1\xE2\xE9\xEA\xED\xF3\xF4\xFA";
constexpr std::string_view kTildes = "\xE3\xF5";
constexpr std::string_view kStressable = "aeiouwy\xFC";  // ü counts as a vowel

enum class State { start, afterVowel, seek, diphthong, afterUVowel, diphthongU, afterU, afterI,
                   afterIU, afterConsonant, afterM, stop };

size_t findLast(const std::string& word, std::string_view set) {
  for (size_t p = word.size(); p > 0; --p)
    if (in(static_cast<unsigned char>(word[p - 1]), set)) return p;
  return 0;
}

// The default stress, read from the last letter backwards. `mark` keeps the
// latest candidate; p + 1 and p + 2 step over the u of gu and qu.
size_t defaultStress(const std::string& word) {
  State s = State::start;
  size_t result = 0;
  for (size_t p = word.size(); p > 0 && s != State::stop; --p) {
    const unsigned char c = static_cast<unsigned char>(word[p - 1]);
    auto mark = [&](size_t at, State next) {
      result = at;
      s = next;
    };
    const bool aeo = in(c, "aeo");
    const bool gq = c == 'g' || c == 'q';
    switch (s) {
      case State::start:
        if (aeo) mark(p, State::afterVowel);
        else if (c == 'u') mark(p, State::afterU);
        else if (c == 'i') mark(p, State::afterI);
        else if (c == 'm') s = State::afterM;
        else if (c != 's') s = State::afterConsonant;
        break;
      case State::afterVowel:
        if (c == 'u') s = State::afterUVowel;
        else if (in(c, "aeiowy\xFC")) mark(p, State::stop);
        else s = State::seek;
        break;
      case State::seek:
        if (aeo) mark(p, State::stop);
        else if (c == 'i' || c == 'u') mark(p, State::diphthong);
        break;
      case State::diphthong:
        if (aeo) mark(p, State::stop);
        else if (c == 'u') s = State::diphthongU;
        else s = State::stop;
        break;
      case State::afterUVowel:
        if (gq) mark(p + 2, State::seek);
        else mark(p + 1, State::stop);
        break;
      case State::diphthongU:
      case State::afterIU:
        mark(gq ? p + 2 : p + 1, State::stop);
        break;
      case State::afterU:
        if (in(c, "aeio")) result = p;
        s = State::stop;
        break;
      case State::afterI:
        if (aeo) mark(p, State::afterI);
        else if (c == 'u') s = State::afterIU;
        else s = State::stop;
        break;
      case State::afterConsonant:
        if (in(c, kStressable)) mark(p, State::stop);
        break;
      case State::afterM:
        if (in(c, "iou")) mark(p, State::stop);
        else if (c == 'a' || c == 'e') mark(p, State::afterVowel);
        else s = State::start;
        break;
      case State::stop:
        break;
    }
  }
  return result;
}

}  // namespace

bool isUnstressedWord(std::string_view word) {
  static constexpr std::array<std::string_view, 6> kWords = {"POR", "DAS", "DOS",
                                                             "COM", "N\xC3O", "SIM"};
  if (word.size() <= 2) return true;
  for (std::string_view w : kWords)
    if (word == w) return true;
  return false;
}

size_t stressPosition(std::string_view word) {
  std::string lower(word);
  for (char& c : lower) c = static_cast<char>(lowerLatin1(static_cast<unsigned char>(c)));
  if (const size_t p = findLast(lower, kStrongAccents)) return p;
  if (const size_t p = findLast(lower, kTildes)) return p;
  if (findLast(lower, kStressable) == 0) return 0;
  // The plural of -em is -ens (homens, jovens): it is stressed as -ems would be.
  if (lower.ends_with("ns")) lower[lower.size() - 2] = 'm';
  return defaultStress(lower);
}

}  // namespace tts
