// The pseudo-random numbers of RAND: a 32-bit linear congruential generator
// whose seed is 0 at start, so a script draws the same sequence every run
// until RANDOMIZA seeds it from the clock.
#pragma once
#include <cstdint>

namespace engine {

struct Interp;

void seedRandom(Interp& in, uint32_t seed);

// One draw for the range n: 0 to n - 1 for a positive n (n is taken as an
// unsigned 32-bit value; the result as a signed one).
int32_t drawRandom(Interp& in, int32_t n);

}  // namespace engine
