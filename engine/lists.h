// Named lists of texts: at most 20 at once, each with its name as written
// (case kept) and its items in order, duplicates allowed.
#pragma once
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/status.h"

namespace engine {

struct Interp;

constexpr int kMaxLists = 20;

struct List {
  std::string name;
  std::vector<std::string> items;
};

using ListSlots = std::array<std::unique_ptr<List>, kMaxLists>;

// The list of exactly that name (case counts), or null.
List* findList(Interp& in, std::string_view name);

// Creates an empty list in the first free slot; null when all are taken.
List* createList(Interp& in, std::string_view name);

// Frees the list; false when there is none of that name.
bool deleteList(Interp& in, std::string_view name);

// Adds an item at the end; a failure saying why when the script's texts
// together would pass their bound.
Status addItem(Interp& in, List& list, std::string value);

// Removes the first item equal to `value` regardless of letter case; false
// when there is none.
bool removeItem(Interp& in, List& list, std::string_view value);

}  // namespace engine
