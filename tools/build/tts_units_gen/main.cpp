// tts_units_gen DIPHONE_LIST PHONEME_MAP OUT_FILE
// Makes the built-in engine's own diphone units at build time: for every pair
// of the diphone list (.dfn), a carrier phrase eSpeak NG says at running pace
// on one pitch, with the pair inside it (PHONEME_MAP says how eSpeak NG names
// each phoneme), cut from the middle of the first phoneme to the middle of the
// second at period marks, with its marks, into OUT_FILE. Exits non-zero,
// saying why, when a pair cannot be made.
#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/paths.h"
#include "speech/diphone/pitch_marks.h"
#include "tools/build/espeak_said/said.h"
#include "tools/build/espeak_said/sound_shaping.h"
#include "tts/chars.h"
#include "tts/data_file.h"
#include "tts/diphone_list.h"
#include "tts/diphone_units.h"

namespace {

using espeak_said::Said;
using espeak_said::Utterance;

constexpr int kRate = 16000;  // the engine's, as MBROLA's
constexpr int kWordsPerMinute = 175;
// Near the middle of the pitches the prosody asks for (about 150 to 250 Hz),
// so that grains are re-spaced as little as they can be: the voice keeps
// its body.
constexpr int kPitch = 85;
constexpr float kTargetLoudness = 0.3f;
constexpr size_t kPauseHalf = kRate / 40;  // 25 ms of silence on a pause's side

bool isPause(const std::string& name) { return !name.empty() && name[0] == '_'; }

// "name espeak" lines, names upper-cased.
bool readMap(const std::string& path, std::map<std::string, std::string>& map) {
  std::vector<std::string> lines;
  if (!tts::readDataLines(path, lines)) return false;
  for (const std::string& line : lines) {
    if (line.empty() || line[0] == ';') continue;
    const size_t gap = line.find_first_of(" \t");
    const size_t value = line.find_first_not_of(" \t", gap);
    if (gap == std::string::npos || value == std::string::npos) return false;
    map[tts::upperLatin1(line.substr(0, gap))] = line.substr(value, line.find_first_of(" \t", value) - value);
  }
  return true;
}

// The one pitch eSpeak NG says everything on: the strongest period of a long
// stressed vowel, found by autocorrelation.
size_t voicePeriod(int espeakRate) {
  const Said said = espeak_said::sayAt("[[t'a:ta]]", espeakRate, kRate, kTargetLoudness);
  const std::vector<Utterance::Event> ph = espeak_said::phonemeEvents(said.events);
  if (ph.size() < 3) return 0;
  const size_t from = ph[1].sample, to = ph[2].sample;
  size_t best = 0;
  double bestScore = 0;
  for (size_t lag = kRate / 400; lag <= kRate / 60 && from + 2 * lag < to; ++lag) {
    double score = 0;
    for (size_t i = from; i + lag < to; ++i) score += said.sound[i] * said.sound[i + lag];
    score /= static_cast<double>(to - from - lag);
    if (score > bestScore) bestScore = score, best = lag;
  }
  return best;
}

// The mark nearest `at` inside the phoneme [from, to); `at` itself when the
// phoneme holds none.
size_t nearestMark(const std::vector<size_t>& marks, size_t at, size_t from, size_t to) {
  size_t best = at, distance = SIZE_MAX;
  for (auto it = std::lower_bound(marks.begin(), marks.end(), from); it != marks.end() && *it < to; ++it) {
    const size_t d = *it > at ? *it - at : at - *it;
    if (d < distance) best = *it, distance = d;
  }
  return best;
}

std::vector<int16_t> toSamples(const std::vector<float>& sound, size_t begin, size_t end) {
  std::vector<int16_t> out;
  for (size_t i = begin; i < end && i < sound.size(); ++i)
    out.push_back(static_cast<int16_t>(std::clamp(sound[i] * 32767.0f, -32767.0f, 32767.0f)));
  return out;
}

// What the pair's first phoneme follows, and how many phonemes that is. A
// vowel or glide after "a" would merge with it into a diphthong, so it
// follows a "t" instead.
struct Context {
  std::string text;
  size_t phonemes;
};
Context leftOf(const std::string& espeak) {
  if (std::string_view("a&eEiIoOuUy").find(espeak[0]) != std::string_view::npos) return {"t'at", 3};
  return {"t'a", 2};
}

// The first phoneme said after its context (or at the start, after a pause), the
// second before "at&" (or at the end, before one); a pause's side is silence.
std::optional<tts::DiphoneUnit> makeUnit(const std::string& first, const std::string& second, const std::string& a,
                                         const std::string& b, int espeakRate, size_t period) {
  tts::DiphoneUnit unit{first + "-" + second, 0, {}, {}};
  if (isPause(first) && isPause(second)) {
    unit.samples.assign(2 * kPauseHalf, 0);
    unit.boundary = kPauseHalf;
    for (size_t m = 0; m < unit.samples.size(); m += period) unit.marks.push_back(static_cast<uint32_t>(m));
    return unit;
  }
  const Context left = isPause(first) ? Context{"", 0} : leftOf(a);
  const std::string carrier = "[[" + left.text + (isPause(first) ? "" : a) + b + (isPause(second) ? "" : "at&") + "]]";
  const Said said = espeak_said::sayAt(carrier, espeakRate, kRate, kTargetLoudness);
  const std::vector<Utterance::Event> ph = espeak_said::phonemeEvents(said.events);
  const size_t at = left.phonemes;  // the first phoneme said of the pair
  const size_t needed = isPause(first) ? 1 : isPause(second) ? at + 1 : at + 2;  // phonemes the cut uses
  if (ph.size() < needed) return std::nullopt;
  const std::vector<uint8_t> eight = espeak_said::toUnsigned8(said.sound, 1);
  const std::vector<size_t> marks = speech::periodMarks(eight, period);
  auto endOf = [&](size_t i) { return i + 1 < ph.size() ? ph[i + 1].sample : said.sound.size(); };
  size_t begin = 0, boundary = 0, end = 0;
  if (isPause(first)) {
    boundary = ph[0].sample;
    end = nearestMark(marks, (ph[0].sample + endOf(0)) / 2, ph[0].sample + 1, endOf(0));
    begin = boundary;
  } else {
    begin = nearestMark(marks, (ph[at].sample + endOf(at)) / 2, ph[at].sample, endOf(at));
    boundary = endOf(at);
    end = isPause(second) ? boundary
                          : nearestMark(marks, (ph[at + 1].sample + endOf(at + 1)) / 2, boundary + 1, endOf(at + 1));
  }
  if (end <= begin) return std::nullopt;
  const size_t lead = isPause(first) ? kPauseHalf : 0;
  unit.samples.assign(lead, 0);
  const std::vector<int16_t> cut = toSamples(said.sound, begin, end);
  unit.samples.insert(unit.samples.end(), cut.begin(), cut.end());
  unit.boundary = static_cast<uint32_t>(lead + boundary - begin);
  if (isPause(second)) unit.samples.resize(unit.samples.size() + kPauseHalf, 0);
  for (size_t m = 0; m < lead; m += period) unit.marks.push_back(static_cast<uint32_t>(m));
  for (const size_t m : marks)
    if (m >= begin && m < end) unit.marks.push_back(static_cast<uint32_t>(lead + m - begin));
  const size_t last = unit.marks.empty() ? 0 : unit.marks.back() + period;
  for (size_t m = std::max(last, lead + cut.size()); m < unit.samples.size(); m += period)
    unit.marks.push_back(static_cast<uint32_t>(m));
  return unit;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "uso: tts_units_gen LISTA_DE_DIFONES MAPA_DE_FONEMAS ARQUIVO\n");
    return 2;
  }
  tts::DiphoneList list;
  std::map<std::string, std::string> map;
  if (!tts::loadDiphoneList(argv[1], list) || !readMap(argv[2], map)) {
    std::fprintf(stderr, "tts_units_gen: n\xC3\xA3o li %s ou %s\n", argv[1], argv[2]);
    return 1;
  }
  const int espeakRate = espeak_said::startEspeak();
  if (espeakRate == 0) {
    std::fprintf(stderr, "tts_units_gen: eSpeak NG n\xC3\xA3o iniciou com a voz pt-br\n");
    return 1;
  }
  espeak_said::setEspeakStyle(kWordsPerMinute, 0, kPitch);
  const size_t period = voicePeriod(espeakRate);
  tts::DiphoneUnits units{kRate, {}};
  std::vector<std::string> problems;
  for (const std::string& pair : list.names) {
    const size_t dash = pair.find('-', 1);
    const std::string first = pair.substr(0, dash), second = pair.substr(dash + 1);
    const bool known = (isPause(first) || map.count(first)) && (isPause(second) || map.count(second));
    std::optional<tts::DiphoneUnit> unit;
    if (known && period > 0)
      unit = makeUnit(first, second, isPause(first) ? "" : map[first], isPause(second) ? "" : map[second], espeakRate,
                      period);
    if (unit) units.units.push_back(std::move(*unit));
    else problems.push_back(pair);
  }
  espeak_said::stopEspeak();
  for (const std::string& p : problems)
    std::fprintf(stderr, "tts_units_gen: o difone %s n\xC3\xA3o se fez\n", p.c_str());
  if (!problems.empty() || !platform::replaceFileAtomically(argv[3], tts::encodeDiphoneUnits(units))) return 1;
  std::printf("tts_units_gen: %zu difones, per\xC3\xADodo de %zu amostras\n", units.units.size(), period);
  return 0;
}
