#include "tts/time_and_pitch.h"

#include <cmath>
#include <cstdlib>

#include "tts/phoneme_lines.h"

namespace tts {
namespace {

// Where the word is: the first phoneme takes the start pitch, the stressed
// one the stress pitch, the last one after the stress the end pitch.
enum class WordState { kStart, kFirstDone, kStressed, kAfterStress };

constexpr std::string_view kPauseBridge = "_ 50";
constexpr std::string_view kGlideBridge = "y 50";

int tableDuration(const ProsodyConfig& config, std::string_view name) {
  for (const PhonemeDuration& d : config.durations)
    if (d.name == name) return d.ms;
  return 100;
}

// The integer part of a product of reals, kept from falling a unit short
// when the exact value is whole (100 x 0.6 is 59.999...).
int wholePart(double value) { return static_cast<int>(std::floor(value + 1e-7)); }

// The pitch of a code digit in Hz, 0 for no point (no table entry, or a
// character that is not a digit).
int pitchOf(const ProsodyConfig& config, const std::string& code, size_t digit, double pitchFactor) {
  if (digit >= code.size() || code[digit] < '0' || code[digit] > '9') return 0;
  const int percent = config.pitchPercent[static_cast<size_t>(code[digit] - '0')];
  if (percent == 0) return 0;
  return wholePart(percent * pitchFactor * config.baseHertz) / 100;
}

bool isWordMarker(std::string_view line) { return line.size() >= 5 && line[0] == ';' && line[4] == '|'; }

}  // namespace

double pitchFactorOf(int pitch) { return (pitch + 11) / 11.0; }
double durationFactorOf(int speed) { return 0.8 - speed / 15.0; }

void bridgeMissingDiphone(const DiphoneList& diphones, std::string& previous, std::string_view current,
                          PhonemeLines& out) {
  if (current.empty()) return;
  if (!hasDiphone(diphones, previous, current)) {
    if (previous == "r2" && hasDiphone(diphones, "r2", "_")) out.emplace_back(kPauseBridge);
    else if (hasDiphone(diphones, previous, "y")) out.emplace_back(kGlideBridge);
    else out.emplace_back(kPauseBridge);
  }
  previous = current;
}

PhonemeLines timeAndPitch(const PhonemeLines& lines, const ProsodyConfig& config, const DiphoneList& diphones,
                          double pitchFactor, double durationFactor) {
  PhonemeLines out;
  out.reserve(lines.size() + lines.size() / 4);
  std::string code(kDefaultProsodyCode);
  std::string previous = "_";
  int factor = 100;
  size_t markerLength = 0;
  WordState state = WordState::kStart;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (isWordMarker(line)) {
      code = std::string(line.substr(1, 3));
      out.push_back(";" + std::string(line.substr(5)));
      markerLength = out.back().size();
      state = WordState::kStart;
      continue;
    }
    if (line.empty()) {
      factor = 100;
      out.emplace_back();
      continue;
    }
    if (line.starts_with(kStressMark)) {
      line.remove_prefix(1);
      factor = 145;
      state = WordState::kStressed;
      if (line.starts_with(kDurationReset)) line.remove_prefix(1);
    } else if (line.starts_with(kDurationReset)) {
      line.remove_prefix(1);
      factor = 100;
    }
    std::string name;
    int ms = 0;
    if (line.starts_with('_')) {
      name = "_";
      if (line == "_") ms = 100;
      else if (line.size() > 2 && line[1] == ' ') ms = std::atoi(std::string(line.substr(2)).c_str());
      else ms = tableDuration(config, line);
    } else {
      name = std::string(line);
      ms = tableDuration(config, name);
      if (state == WordState::kStart || state == WordState::kFirstDone) {
        if (markerLength > 13) ms = ms * 80 / 100;
        else if (markerLength > 9) ms = ms * 90 / 100;
      }
    }
    const int duration = wholePart(ms * factor * durationFactor) / 100;
    int pitch = 0, position = 50;
    switch (state) {
      case WordState::kStart:
        pitch = pitchOf(config, code, 0, pitchFactor);
        state = WordState::kFirstDone;
        break;
      case WordState::kStressed:
        pitch = pitchOf(config, code, 1, pitchFactor);
        position = 80;
        state = WordState::kAfterStress;
        break;
      case WordState::kAfterStress:
        if (i + 1 == lines.size() || lines[i + 1].empty()) pitch = pitchOf(config, code, 2, pitchFactor);
        break;
      case WordState::kFirstDone: break;
    }
    std::string timed = name + " " + std::to_string(duration);
    if (pitch > 0) timed += " " + std::to_string(position) + " " + std::to_string(pitch);
    bridgeMissingDiphone(diphones, previous, name, out);
    out.push_back(std::move(timed));
  }
  return out;
}

}  // namespace tts
