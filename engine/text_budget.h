// The texts a script holds (its variables, its lists and the byte buffer)
// are counted together against one bound, so that no script takes the
// machine's memory: [ESCUTA] MEMORIAMAXIMA in MiB, 512 MiB by default.
#pragma once
#include <cstddef>

namespace engine {

constexpr size_t kDefaultTextBound = size_t{512} << 20;

// The bound from Escuta.ini; the default when it is missing or not a
// positive number.
void readTextBound();
void setTextBound(size_t bytes);

// Accounts for a held text going from `from` bytes to `to`. False, saying
// "Memória esgotada" and counting nothing, when growing would pass the bound.
bool resizeText(size_t from, size_t to);

// The bytes held now.
size_t textsHeld();

}  // namespace engine
