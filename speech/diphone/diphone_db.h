// The diphone database: an index (".IND") of named stretches of one data file
// (".DIF") of 8-bit unsigned samples at 11025 Hz. Index records are 15 bytes,
// sorted by name: name length (1 to 8), the name upper case padded to 8,
// stretch length (16 bits) and offset (32 bits), little-endian.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace speech {

inline constexpr size_t kIndexRecordSize = 15;
inline constexpr size_t kMaxUnitName = 8;
inline constexpr int kDiphoneRate = 11025;

struct DiphoneUnit {
  std::string name;
  uint16_t length = 0;
  uint32_t offset = 0;
};

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

struct DiphoneDb {
  std::vector<DiphoneUnit> units;  // sorted by name
  std::unique_ptr<std::FILE, FileCloser> data;
  uint64_t dataSize = 0;
  size_t dropped = 0;  // records whose stretch lies past the end of the data
};

// The index's bytes for units sorted by name, each name 1 to 8 characters.
std::string encodeIndex(const std::vector<DiphoneUnit>& units);

// Opens both files (host paths). False when one is missing, or when the index
// is not whole records in strictly ascending order with names of 1 to 8
// characters; `why` tells which. Records pointing past the end of the data
// file are dropped, so that their units count as missing.
bool openDiphoneDb(const std::string& indexPath, const std::string& dataPath, DiphoneDb& db,
                   std::string* why = nullptr);

// The unit of an upper-case name, or null.
const DiphoneUnit* findUnit(const DiphoneDb& db, std::string_view name);

// Reads the first `n` bytes of a unit's stretch (at most its length) into
// `out`; the number of bytes read.
size_t readStretch(const DiphoneDb& db, const DiphoneUnit& unit, size_t n, uint8_t* out);

}  // namespace speech
