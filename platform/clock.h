// The one clock that sounds, pauses, key-script waits and the time limit are
// measured on. It is real time, except in a headless run sped up for tests:
// then every duration shrinks by the same factor, so that everything keeps
// its order and relative timing and only the waiting gets shorter.
#pragma once
#include <cstdint>

namespace platform {

// 1 is real time. Set once, at start, before anything is timed.
void setClockSpeed(int speed);

// Microseconds on the clock (a steady time, comparable within the process).
int64_t clockUs();

// The real steady time, in microseconds, at which the clock reads `us`.
int64_t realUsAt(int64_t us);

// A duration on the clock as real milliseconds, rounded up so that a wait
// never ends early; negative (for ever) stays negative.
int realMs(int clockMs);

}  // namespace platform
