// Named lists of texts: at most 20 at once, each with its name as written
// (case kept) and its items in order, duplicates allowed.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace engine {

constexpr int kMaxLists = 20;

struct List {
  std::string name;
  std::vector<std::string> items;
};

// Frees every list.
void resetLists();

// The list of exactly that name (case counts), or null.
List* findList(std::string_view name);

// Creates an empty list in the first free slot; null when all are taken.
List* createList(std::string_view name);

// Frees the list; false when there is none of that name.
bool deleteList(std::string_view name);

// Adds an item at the end; false, having said why, when the script's texts
// together would pass their bound.
[[nodiscard]] bool addItem(List& list, std::string value);

// Removes the first item equal to `value` regardless of letter case; false
// when there is none.
bool removeItem(List& list, std::string_view value);

}  // namespace engine
