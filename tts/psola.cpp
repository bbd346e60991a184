#include "tts/psola.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>

#include "tts/chars.h"

namespace tts {
namespace {

constexpr size_t kShortestHalf = 16;
constexpr size_t kLongestHalf = 400;  // 25 ms: no grain reaches further back than this
const std::string kPause = "_";
constexpr double kLongestPhoneMs = 60000;  // a line asking for more is a fault, not a minute of sound

bool isPause(const std::string& name) { return !name.empty() && name[0] == '_'; }

// A unit whose name starts (or ends) with `name`: the stand-in for a pair
// the units lack, which bridging should have kept from coming.
const DiphoneUnit* anyUnitWith(const DiphoneUnits& units, const std::string& name, bool asSecond) {
  const std::string upper = upperLatin1(name);
  for (const DiphoneUnit& u : units.units) {
    const size_t dash = u.name.find('-', 1);
    if (dash != std::string::npos && (asSecond ? u.name.substr(dash + 1) : u.name.substr(0, dash)) == upper) return &u;
  }
  return nullptr;
}

}  // namespace

std::vector<Phone> readPhones(const PhonemeLines& lines) {
  std::vector<Phone> phones;
  for (const std::string& line : lines) {
    if (line.empty() || line[0] == ';') continue;
    std::istringstream in(line);
    Phone p;
    if (!(in >> p.name >> p.ms) || !std::isfinite(p.ms) || p.ms < 0) continue;
    p.ms = std::min(p.ms, kLongestPhoneMs);
    for (double at, hz; in >> at >> hz;)
      if (std::isfinite(at) && std::isfinite(hz)) p.points.emplace_back(std::clamp(at, 0.0, 100.0), hz);
    phones.push_back(std::move(p));
  }
  return phones;
}

PsolaRenderer::PsolaRenderer(std::vector<Phone> phones, const DiphoneUnits& units)
    : phones_(std::move(phones)), units_(units) {
  double ms = 0;
  starts_.push_back(0);
  for (const Phone& p : phones_) {
    const size_t start = starts_.back();
    ms += p.ms;
    starts_.push_back(static_cast<size_t>(std::lround(ms * units_.rate / 1000)));
    const double length = static_cast<double>(starts_.back() - start);
    for (const auto& [at, hz] : p.points)
      if (hz > 0) pitch_.emplace_back(static_cast<double>(start) + at / 100 * length, hz);
  }
  std::stable_sort(pitch_.begin(), pitch_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
}

double PsolaRenderer::pitchAt(double sample) const {
  if (pitch_.empty()) return 0;
  const auto after = std::upper_bound(pitch_.begin(), pitch_.end(), sample,
                                      [](double s, const std::pair<double, double>& p) { return s < p.first; });
  if (after == pitch_.begin()) return pitch_.front().second;
  if (after == pitch_.end()) return pitch_.back().second;
  const auto& [s0, f0] = *(after - 1);
  const double s1 = after->first, f1 = after->second;
  return s1 > s0 ? f0 + (f1 - f0) * (sample - s0) / (s1 - s0) : f1;
}

PsolaRenderer::Half PsolaRenderer::halfOf(const std::string& first, const std::string& second,
                                          bool secondHalf) const {
  const std::string& phone = secondHalf ? second : first;
  const DiphoneUnit* unit = findUnit(units_, first, second);
  if (!unit) unit = secondHalf ? findUnit(units_, kPause, phone) : findUnit(units_, phone, kPause);
  if (!unit) unit = anyUnitWith(units_, phone, secondHalf);
  if (!unit) return {};
  return secondHalf ? Half{unit, unit->boundary, unit->samples.size()} : Half{unit, 0, unit->boundary};
}

std::vector<PsolaRenderer::Grain> PsolaRenderer::grainsOf(const Half& a, const Half& b) const {
  std::vector<Grain> grains;
  double offset = 0;
  for (const Half* h : {&a, &b}) {
    if (!h->unit) continue;
    const std::vector<uint32_t>& marks = h->unit->marks;
    for (size_t k = 0; k < marks.size(); ++k) {
      if (marks[k] < h->from || marks[k] >= h->to) continue;
      // A grain spans the periods on either side of its mark; a lone mark
      // borrows the one side it has.
      const size_t before = k > 0 ? marks[k] - marks[k - 1] : 0;
      const size_t after = k + 1 < marks.size() ? marks[k + 1] - marks[k] : 0;
      const size_t left = std::clamp(before ? before : after, kShortestHalf, kLongestHalf);
      const size_t right = std::clamp(after ? after : before, kShortestHalf, kLongestHalf);
      grains.push_back({h->unit, marks[k], left, right, offset + static_cast<double>(marks[k] - h->from)});
    }
    offset += static_cast<double>(h->to - h->from);
  }
  return grains;
}

void PsolaRenderer::addGrain(const Grain& g, double at, double period, double from, double to) {
  const long centre = std::lround(at);
  // Beside a pause the grain tapers off at the phoneme's edge, so the pause
  // keeps its length.
  const long left = std::min(static_cast<long>(g.left), std::max(0L, centre - std::lround(from)));
  const long right = std::min(static_cast<long>(g.right), std::max(0L, std::lround(to) - centre));
  // Grains laid closer than they were cut overlap more: scaled down so that
  // a higher pitch is not louder.
  const double width = static_cast<double>(g.left + g.right) / 2;
  const float gain = static_cast<float>(period < width ? period / width : 1.0);
  const std::vector<int16_t>& s = g.unit->samples;
  for (long j = -left; j < right; ++j) {
    const long source = static_cast<long>(g.mark) + j, target = centre + j - static_cast<long>(emitted_);
    if (source < 0 || source >= static_cast<long>(s.size()) || target < 0) continue;
    const double x = static_cast<double>(j) / static_cast<double>(j < 0 ? left : right);
    const float window = static_cast<float>(0.5 + 0.5 * std::cos(std::numbers::pi * x));
    if (static_cast<size_t>(target) >= pending_.size()) pending_.resize(static_cast<size_t>(target) + 1, 0.0f);
    pending_[static_cast<size_t>(target)] += gain * window * s[static_cast<size_t>(source)];
  }
}

void PsolaRenderer::renderNext(std::vector<int16_t>& out) {
  if (done()) return;
  const size_t i = next_++;
  const std::string& name = phones_[i].name;
  const std::string& before = i > 0 ? phones_[i - 1].name : kPause;
  const std::string& after = i + 1 < phones_.size() ? phones_[i + 1].name : kPause;
  const double start = static_cast<double>(starts_[i]), end = static_cast<double>(starts_[i + 1]);
  const Half a = halfOf(before, name, true), b = halfOf(name, after, false);
  const std::vector<Grain> grains = isPause(name) ? std::vector<Grain>{} : grainsOf(a, b);
  const double sourceLength = static_cast<double>((a.to - a.from) + (b.to - b.from));
  while (nextMark_ < end) {
    const double hz = pitchAt(nextMark_);
    double period = hz > 0 ? units_.rate / hz : 0;
    if (!grains.empty()) {
      // The grain cut nearest the place in the source that this moment of
      // the phoneme maps to.
      const double source = (nextMark_ - start) / std::max(end - start, 1.0) * sourceLength;
      const auto it = std::lower_bound(grains.begin(), grains.end(), source,
                                       [](const Grain& g, double s) { return g.at < s; });
      const Grain& g = it == grains.end() ? grains.back()
                       : it != grains.begin() && source - (it - 1)->at < it->at - source ? *(it - 1) : *it;
      if (period <= 0) period = static_cast<double>(g.left + g.right) / 2;
      addGrain(g, nextMark_, period, isPause(before) ? start : -1e18, isPause(after) ? end : 1e18);
    }
    nextMark_ += std::max(period > 0 ? period : units_.rate / 100.0, static_cast<double>(kShortestHalf));
  }
  const size_t total = starts_.back();
  size_t ready = done() ? total : static_cast<size_t>(std::max(0.0, nextMark_ - static_cast<double>(kLongestHalf)));
  ready = std::min({ready, total, starts_[i + 1]});
  if (ready <= emitted_) return;
  const size_t count = ready - emitted_;
  if (pending_.size() < count) pending_.resize(count, 0.0f);
  for (size_t k = 0; k < count; ++k)
    out.push_back(static_cast<int16_t>(std::clamp(std::lround(pending_[k]), -32767L, 32767L)));
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(count));
  emitted_ = ready;
}

}  // namespace tts
