// Our own synthesizer for the engine's phoneme lines, so that kind 3 speaks
// where MBROLA is not installed: each phoneme is the second half of the unit
// that leads into it and the first half of the unit that leads out, cut into
// two-period grains at the units' period marks; the grains are laid again one
// pitch period apart, the period the pitch points give at that moment, and
// repeated or dropped so that the phoneme lasts what its line says
// (pitch-synchronous overlap-add). Pure: samples in, samples out.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tts/diphone_units.h"
#include "tts/letter_rules.h"

namespace tts {

// One line "name ms [position pitch]...": position in percent of the
// phoneme, pitch in Hz.
struct Phone {
  std::string name;
  double ms = 0;
  std::vector<std::pair<double, double>> points;
};

// Comments (";"), empty lines and lines that do not read give nothing.
std::vector<Phone> readPhones(const PhonemeLines& lines);

// Renders an utterance phoneme by phoneme, so that the first samples can be
// played while the rest is made.
class PsolaRenderer {
 public:
  PsolaRenderer(std::vector<Phone> phones, const DiphoneUnits& units);

  bool done() const { return next_ >= phones_.size(); }
  // Renders the next phoneme and appends to `out` every sample that no later
  // grain can change any more; after the last phoneme, all of them.
  void renderNext(std::vector<int16_t>& out);

  // Where phoneme `i` starts, in samples from the utterance's start.
  size_t startOf(size_t i) const { return starts_[i]; }
  // The pitch the points give at `sample`: linear between points, held
  // before the first and after the last; 0 when there are none.
  double pitchAt(double sample) const;

 private:
  struct Half {
    const DiphoneUnit* unit = nullptr;
    size_t from = 0, to = 0;  // the stretch of the unit that is this phoneme
  };
  struct Grain {
    const DiphoneUnit* unit;
    size_t mark, left, right;  // the grain: [mark - left, mark + right)
    double at;                 // where its mark lies in the phoneme's source
  };

  Half halfOf(const std::string& first, const std::string& second, bool secondHalf) const;
  std::vector<Grain> grainsOf(const Half& a, const Half& b) const;
  // Centred at `at`, `period` from the grain before, within [from, to).
  void addGrain(const Grain& g, double at, double period, double from, double to);

  std::vector<Phone> phones_;
  const DiphoneUnits& units_;
  std::vector<size_t> starts_;                    // one more than phones_
  std::vector<std::pair<double, double>> pitch_;  // (sample, Hz), ascending
  size_t next_ = 0;
  double nextMark_ = 0;
  std::vector<float> pending_;  // samples from emitted_ on
  size_t emitted_ = 0;
};

}  // namespace tts
