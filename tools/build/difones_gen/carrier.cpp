#include "carrier.h"

#include <algorithm>
#include <cstdlib>

#include "speech/diphone/pitch_marks.h"

namespace difones {
namespace {

constexpr size_t kBlock = 11;           // 1 ms at the voice's rate
constexpr size_t kLongestClosure = 1500;  // 136 ms

bool isVowel(char c) { return std::string_view("a&EeiOouIU@").find(c) != std::string_view::npos; }

bool startsWithVowel(const std::string& phonemes) {
  const size_t first = phonemes.find_first_not_of("',");
  return first != std::string::npos && isVowel(phonemes[first]);
}

bool hasVowel(const std::string& phonemes) { return std::any_of(phonemes.begin(), phonemes.end(), isVowel); }

bool unvoicedStop(const std::string& name) { return !name.empty() && (name[0] == 'p' || name[0] == 't' || name[0] == 'k'); }

bool unvoiced(const std::string& name) {
  return unvoicedStop(name) || name == "f" || name == "s" || name == "S" || name == "x" || name == "h";
}

std::vector<Utterance::Event> phonemes(const CarrierSound& sound) { return espeak_said::phonemeEvents(sound.events); }

// A closure: on average less than one step from the centre.
bool quietBlock(const std::vector<uint8_t>& s, size_t end) {
  size_t sum = 0;
  for (size_t i = end - kBlock; i < end; ++i) sum += static_cast<size_t>(std::abs(s[i] - 128));
  return sum < kBlock;
}

// Where the closure before an unvoiced stop's burst at `burst` starts, not
// before `floor`; the burst itself when no closure comes before it.
size_t closureStart(const std::vector<uint8_t>& s, size_t burst, size_t floor) {
  size_t at = std::min(burst, s.size());
  while (at >= floor + kBlock && burst - at < kLongestClosure && quietBlock(s, at)) at -= kBlock;
  return at;
}

// A voiced unit starts at the first period mark from `at`; an unvoiced one
// where the sound next rises through the centre, so it starts from nothing.
size_t startAt(const std::vector<uint8_t>& s, size_t at, bool voiced) {
  if (voiced) return speech::periodStart(s, at, at + speech::kLongestPeriod);
  while (at + 1 < s.size() && !(s[at] < 128 && s[at + 1] >= 128)) ++at;
  return at + 1 < s.size() ? at + 1 : at;
}

// A unit that ends voiced ends where its last whole period ends.
size_t endAt(const std::vector<uint8_t>& s, size_t at, bool voiced) {
  if (!voiced || at < speech::kLongestPeriod) return at;
  return speech::periodStart(s, at - speech::kLongestPeriod, at);
}

// Where the phoneme `first` starts: a vowel a little way in, an unvoiced
// stop with its closure.
size_t beginning(const std::vector<uint8_t>& s, const std::vector<Utterance::Event>& ph, size_t first,
                 bool intoVowel) {
  size_t at = ph[first].sample;
  if (intoVowel) at += (ph[first + 1].sample - ph[first].sample) / 4;
  return unvoicedStop(ph[first].name) ? closureStart(s, at, ph[first - 1].sample)
                                      : startAt(s, at, !unvoiced(ph[first].name));
}

// Everything from the phoneme `first` up to the closure of the carrier's
// last "t", which follows every unit that holds a vowel and every piece.
std::optional<Cut> cutBeforeClosure(const CarrierSound& sound, const std::vector<Utterance::Event>& ph,
                                    size_t first, bool intoVowel) {
  size_t t = ph.size();
  while (t > 0 && ph[t - 1].name != "t") --t;
  if (first == 0 || first + 1 >= t) return std::nullopt;
  const std::vector<uint8_t>& s = sound.samples;
  const size_t begin = beginning(s, ph, first, intoVowel);
  // The closure lies in the second half of the sound before the burst.
  const size_t lastStart = ph[t - 2].sample + (ph[t - 1].sample - ph[t - 2].sample) / 2;
  const size_t end = endAt(s, closureStart(s, ph[t - 1].sample, lastStart), !unvoiced(ph[t - 2].name));
  if (end <= begin + kBlock) return std::nullopt;
  return Cut{begin, end};
}

// A consonant alone, from its start to the vowel after it.
std::optional<Cut> cutBeforeVowel(const CarrierSound& sound, const std::vector<Utterance::Event>& ph) {
  const size_t vowel = ph.size() - 1;
  const std::vector<uint8_t>& s = sound.samples;
  const size_t begin = beginning(s, ph, 1, false);
  const size_t end = endAt(s, ph[vowel].sample, !unvoiced(ph[vowel - 1].name));
  if (end <= begin + kBlock) return std::nullopt;
  return Cut{begin, end};
}

}  // namespace

// A vowel that opens a unit follows a "t", so that it is cut a little way in
// rather than from the carrier's very start; anything else follows an "a".
// A consonant alone opens a syllable, as the first of a cluster does.
std::string unitCarrier(const std::string& phonemes) {
  if (!hasVowel(phonemes)) return "[[a" + phonemes + "'a]]";
  return "[[" + std::string(startsWithVowel(phonemes) ? "t" : "&") + phonemes + "ta]]";
}

// A piece starts after a pause, as pieces mostly are heard, so it starts
// from silence and not inside the word before it.
std::string pieceCarrier(const std::string& utf8Text) { return "tapa, " + utf8Text + " tapa"; }

std::optional<Cut> unitCut(const CarrierSound& sound, const std::string& unitPhonemes) {
  const std::vector<Utterance::Event> ph = phonemes(sound);
  if (ph.size() < 3) return std::nullopt;
  if (!hasVowel(unitPhonemes)) return cutBeforeVowel(sound, ph);
  return cutBeforeClosure(sound, ph, 1, startsWithVowel(unitPhonemes));
}

std::optional<Cut> pieceCut(const CarrierSound& sound) {
  std::vector<size_t> words;
  for (const Utterance::Event& e : sound.events)
    if (e.word) words.push_back(e.sample);
  if (words.size() < 3) return std::nullopt;
  const std::vector<Utterance::Event> ph = phonemes(sound);
  size_t first = 0;
  while (first < ph.size() && ph[first].sample < words[1]) ++first;
  if (first >= ph.size()) return std::nullopt;
  return cutBeforeClosure(sound, ph, first, false);
}

}  // namespace difones
