#include "engine/lists.h"

#include <algorithm>

#include "engine/interp.h"
#include "engine/text_budget.h"

namespace engine {
namespace {

// Small letters of Windows-1252 mapped to their capitals.
unsigned char fold(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  if (c == 0x9A || c == 0x9C || c == 0x9E) return static_cast<unsigned char>(c - 16);  // š œ ž
  if (c == 0xFF) return 0x9F;                                                          // ÿ
  return c;
}

// Whether two texts are equal regardless of letter case (Windows-1252).
bool sameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return fold(static_cast<unsigned char>(x)) == fold(static_cast<unsigned char>(y));
  });
}

// Gives back what the list's items counted against the texts' bound.
void release(Interp& in, const List& list) {
  for (const std::string& item : list.items) (void)resizeText(in, item.size(), 0);
}

}  // namespace

List* findList(Interp& in, std::string_view name) {
  for (auto& slot : in.lists) {
    if (slot && slot->name == name) return slot.get();
  }
  return nullptr;
}

List* createList(Interp& in, std::string_view name) {
  for (auto& slot : in.lists) {
    if (!slot) {
      slot = std::make_unique<List>(List{std::string(name), {}});
      return slot.get();
    }
  }
  return nullptr;
}

bool deleteList(Interp& in, std::string_view name) {
  bool found = false;
  for (auto& slot : in.lists) {
    if (slot && slot->name == name) {
      release(in, *slot);
      slot.reset();
      found = true;
    }
  }
  return found;
}

Status addItem(Interp& in, List& list, std::string value) {
  if (Status s = resizeText(in, 0, value.size()); !s.ok()) return s;
  list.items.push_back(std::move(value));
  return true;
}

bool removeItem(Interp& in, List& list, std::string_view value) {
  for (auto it = list.items.begin(); it != list.items.end(); ++it) {
    if (sameIgnoringCase(*it, value)) {
      (void)resizeText(in, it->size(), 0);
      list.items.erase(it);
      return true;
    }
  }
  return false;
}

}  // namespace engine
