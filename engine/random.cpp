#include "engine/random.h"

namespace engine {
namespace {

uint32_t g_seed = 0;

}  // namespace

void seedRandom(uint32_t seed) { g_seed = seed; }

int32_t drawRandom(int32_t n) {
  g_seed = g_seed * 134775813u + 1u;
  const uint64_t product = static_cast<uint64_t>(g_seed) * static_cast<uint32_t>(n);
  return static_cast<int32_t>(static_cast<uint32_t>(product >> 32));
}

}  // namespace engine
