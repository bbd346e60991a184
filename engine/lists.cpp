#include "engine/lists.h"

#include <algorithm>
#include <array>
#include <memory>

namespace engine {
namespace {

std::array<std::unique_ptr<List>, kMaxLists> g_slots;

// Small letters of Windows-1252 mapped to their capitals.
unsigned char fold(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  if (c == 0x9A || c == 0x9C || c == 0x9E) return static_cast<unsigned char>(c - 16);  // š œ ž
  if (c == 0xFF) return 0x9F;                                                          // ÿ
  return c;
}

}  // namespace

void resetLists() {
  for (auto& slot : g_slots) slot.reset();
}

List* findList(std::string_view name) {
  for (auto& slot : g_slots) {
    if (slot && slot->name == name) return slot.get();
  }
  return nullptr;
}

List* createList(std::string_view name) {
  for (auto& slot : g_slots) {
    if (!slot) {
      slot = std::make_unique<List>(List{std::string(name), {}});
      return slot.get();
    }
  }
  return nullptr;
}

bool deleteList(std::string_view name) {
  bool found = false;
  for (auto& slot : g_slots) {
    if (slot && slot->name == name) {
      slot.reset();
      found = true;
    }
  }
  return found;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return fold(static_cast<unsigned char>(x)) == fold(static_cast<unsigned char>(y));
  });
}

}  // namespace engine
