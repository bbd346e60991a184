#include "engine/random.h"

#include "engine/interp.h"

namespace engine {

void seedRandom(Interp& in, uint32_t seed) { in.randomSeed = seed; }

int32_t drawRandom(Interp& in, int32_t n) {
  uint32_t& seed = in.randomSeed;
  seed = seed * 134775813u + 1u;
  const uint64_t product = static_cast<uint64_t>(seed) * static_cast<uint32_t>(n);
  return static_cast<int32_t>(static_cast<uint32_t>(product >> 32));
}

}  // namespace engine
