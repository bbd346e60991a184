// The texts a script holds (its variables, its lists and the byte buffer)
// are counted together against one bound, so that no script takes the
// machine's memory: [ESCUTA] MEMORIAMAXIMA in MiB, 512 MiB by default.
#pragma once
#include <cstddef>

#include "engine/status.h"

namespace engine {

struct Interp;

constexpr size_t kDefaultTextBound = size_t{512} << 20;

struct TextBudget {
  size_t bound = kDefaultTextBound;
  size_t held = 0;
};

// The bound from Escuta.ini; the default when it is missing or not a
// positive number.
void readTextBound(Interp& in);
void setTextBound(Interp& in, size_t bytes);

// Accounts for a held text going from `from` bytes to `to`. A failure saying
// "Memória esgotada", counting nothing, when growing would pass the bound.
Status resizeText(Interp& in, size_t from, size_t to);

// The bytes held now.
size_t textsHeld(const Interp& in);

}  // namespace engine
