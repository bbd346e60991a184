// The built-in engine's own diphone units, for the renderer that speaks when
// no MBROLA is installed. Each unit runs from the middle of its first phoneme
// to the middle of its second, 16-bit at the engine's rate, with the marks
// where its pitch periods start, so that it can be cut into grains.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tts {

struct DiphoneUnit {
  std::string name;                // "A-B", upper-cased
  uint32_t boundary = 0;           // where the second phoneme starts
  std::vector<uint32_t> marks;     // ascending, each below samples.size()
  std::vector<int16_t> samples;
};

struct DiphoneUnits {
  int rate = 0;
  std::vector<DiphoneUnit> units;  // sorted by name
};

// The file: "EUNI", rate, count, then each unit's name (length byte, bytes),
// boundary, mark count, sample count, marks, samples; little-endian, 32-bit
// fields but the samples. `units` need not be sorted.
std::string encodeDiphoneUnits(const DiphoneUnits& units);
// False, leaving `out` empty, on anything out of bounds or out of order.
bool decodeDiphoneUnits(std::string_view bytes, DiphoneUnits& out);
bool loadDiphoneUnits(std::string_view path, DiphoneUnits& out);

// Without regard to case; nothing when the pair has no unit.
const DiphoneUnit* findUnit(const DiphoneUnits& units, std::string_view first, std::string_view second);

}  // namespace tts
