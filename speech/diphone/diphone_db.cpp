#include "speech/diphone/diphone_db.h"

#include <algorithm>

#include "platform/base/paths.h"

namespace speech {
namespace {

bool fail(std::string* why, std::string text) {
  if (why) *why = std::move(text);
  return false;
}

}  // namespace

std::string encodeIndex(const std::vector<DiphoneUnit>& units) {
  std::string out;
  out.reserve(units.size() * kIndexRecordSize);
  for (const DiphoneUnit& u : units) {
    char record[kIndexRecordSize] = {};
    record[0] = static_cast<char>(u.name.size());
    u.name.copy(record + 1, kMaxUnitName);
    for (int i = 0; i < 2; ++i) record[9 + i] = static_cast<char>(u.length >> (8 * i));
    for (int i = 0; i < 4; ++i) record[11 + i] = static_cast<char>(u.offset >> (8 * i));
    out.append(record, kIndexRecordSize);
  }
  return out;
}

bool openDiphoneDb(const std::string& indexPath, const std::string& dataPath, DiphoneDb& db, std::string* why) {
  db = DiphoneDb{};
  std::string index;
  if (!platform::readWholeFile(indexPath, index)) return fail(why, indexPath + ": ausente");
  if (index.size() % kIndexRecordSize != 0)
    return fail(why, indexPath + ": tamanho n\xE3o \xE9 m\xFAltiplo de 15");
  db.data.reset(std::fopen(dataPath.c_str(), "rb"));
  if (!db.data) return fail(why, dataPath + ": ausente");
  std::fseek(db.data.get(), 0, SEEK_END);
  const long size = std::ftell(db.data.get());
  db.dataSize = size > 0 ? static_cast<uint64_t>(size) : 0;

  const auto* bytes = reinterpret_cast<const uint8_t*>(index.data());
  std::string previous;
  for (size_t at = 0; at < index.size(); at += kIndexRecordSize) {
    const uint8_t* r = bytes + at;
    const size_t nameLength = r[0];
    if (nameLength < 1 || nameLength > kMaxUnitName)
      return fail(why, indexPath + ": registro " + std::to_string(at / kIndexRecordSize) + " com nome inv\xE1lido");
    DiphoneUnit unit;
    unit.name.assign(reinterpret_cast<const char*>(r + 1), nameLength);
    unit.length = static_cast<uint16_t>(r[9] | r[10] << 8);
    unit.offset = static_cast<uint32_t>(r[11] | r[12] << 8 | r[13] << 16) | static_cast<uint32_t>(r[14]) << 24;
    if (at > 0 && previous >= unit.name) return fail(why, indexPath + ": fora de ordem em " + unit.name);
    previous = unit.name;
    if (uint64_t{unit.offset} + unit.length > db.dataSize) {
      ++db.dropped;
      continue;
    }
    db.units.push_back(std::move(unit));
  }
  return true;
}

const DiphoneUnit* findUnit(const DiphoneDb& db, std::string_view name) {
  const auto it = std::lower_bound(db.units.begin(), db.units.end(), name,
                                   [](const DiphoneUnit& u, std::string_view n) { return u.name < n; });
  return it != db.units.end() && it->name == name ? &*it : nullptr;
}

size_t readStretch(const DiphoneDb& db, const DiphoneUnit& unit, size_t n, uint8_t* out) {
  n = std::min<size_t>(n, unit.length);
  if (!db.data || n == 0 || std::fseek(db.data.get(), static_cast<long>(unit.offset), SEEK_SET) != 0) return 0;
  return std::fread(out, 1, n, db.data.get());
}

}  // namespace speech
