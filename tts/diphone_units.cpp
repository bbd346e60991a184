#include "tts/diphone_units.h"

#include <algorithm>
#include <cstring>

#include "platform/base/paths.h"
#include "tts/chars.h"

namespace tts {
namespace {

constexpr std::string_view kMagic = "EUNI";
constexpr size_t kLargestFile = 256u << 20;

void put32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

struct Reader {
  std::string_view bytes;
  size_t at = 0;
  bool ok = true;

  uint32_t get32() {
    if (bytes.size() - at < 4) return ok = false, 0;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
    at += 4;
    return v;
  }
  std::string_view take(size_t n) {
    if (bytes.size() - at < n) return ok = false, std::string_view();
    at += n;
    return bytes.substr(at - n, n);
  }
};

bool byName(const DiphoneUnit& a, const DiphoneUnit& b) { return a.name < b.name; }

bool readUnit(Reader& r, DiphoneUnit& u) {
  const std::string_view length = r.take(1);
  if (!r.ok) return false;
  u.name = upperLatin1(r.take(static_cast<uint8_t>(length[0])));
  u.boundary = r.get32();
  const uint32_t markCount = r.get32(), sampleCount = r.get32();
  if (!r.ok || u.boundary > sampleCount || markCount > sampleCount) return false;
  if ((r.bytes.size() - r.at) / 4 < markCount) return false;
  u.marks.resize(markCount);
  for (uint32_t& m : u.marks) m = r.get32();
  const std::string_view samples = r.take(size_t{sampleCount} * 2);
  if (!r.ok) return false;
  u.samples.resize(sampleCount);
  for (size_t i = 0; i < sampleCount; ++i)
    u.samples[i] = static_cast<int16_t>(static_cast<uint8_t>(samples[2 * i]) |
                                        (static_cast<uint8_t>(samples[2 * i + 1]) << 8));
  return std::is_sorted(u.marks.begin(), u.marks.end()) && (u.marks.empty() || u.marks.back() < sampleCount);
}

}  // namespace

std::string encodeDiphoneUnits(const DiphoneUnits& units) {
  std::string out(kMagic);
  put32(out, static_cast<uint32_t>(units.rate));
  put32(out, static_cast<uint32_t>(units.units.size()));
  for (const DiphoneUnit& u : units.units) {
    out += static_cast<char>(std::min<size_t>(u.name.size(), 255));
    out += u.name.substr(0, 255);
    put32(out, u.boundary);
    put32(out, static_cast<uint32_t>(u.marks.size()));
    put32(out, static_cast<uint32_t>(u.samples.size()));
    for (const uint32_t m : u.marks) put32(out, m);
    for (const int16_t s : u.samples) {
      out += static_cast<char>(static_cast<uint16_t>(s) & 0xFF);
      out += static_cast<char>(static_cast<uint16_t>(s) >> 8);
    }
  }
  return out;
}

bool decodeDiphoneUnits(std::string_view bytes, DiphoneUnits& out) {
  out = DiphoneUnits{};
  Reader r{bytes};
  if (r.take(kMagic.size()) != kMagic) return false;
  const uint32_t rate = r.get32(), count = r.get32();
  if (!r.ok || rate == 0 || rate > 192000) return false;
  DiphoneUnits units{static_cast<int>(rate), {}};
  for (uint32_t i = 0; i < count; ++i) {
    DiphoneUnit u;
    if (!readUnit(r, u)) return false;
    units.units.push_back(std::move(u));
  }
  if (r.at != bytes.size()) return false;
  std::sort(units.units.begin(), units.units.end(), byName);
  out = std::move(units);
  return true;
}

bool loadDiphoneUnits(std::string_view path, DiphoneUnits& out) {
  std::string bytes;
  out = DiphoneUnits{};
  return platform::readWholeFile(platform::hostPath(path), bytes, kLargestFile) && decodeDiphoneUnits(bytes, out);
}

const DiphoneUnit* findUnit(const DiphoneUnits& units, std::string_view first, std::string_view second) {
  DiphoneUnit key;
  key.name = upperLatin1(std::string(first) + "-" + std::string(second));
  const auto it = std::lower_bound(units.units.begin(), units.units.end(), key, byName);
  return it != units.units.end() && it->name == key.name ? &*it : nullptr;
}

}  // namespace tts
