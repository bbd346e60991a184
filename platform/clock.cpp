#include "platform/clock.h"

#include <chrono>

namespace platform {
namespace {

int64_t realSteadyUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The clock runs from the process's start, so that a speed-up does not make
// it leap.
const int64_t g_baseUs = realSteadyUs();
int g_speed = 1;

}  // namespace

void setClockSpeed(int speed) { g_speed = speed > 0 ? speed : 1; }

int64_t clockUs() { return g_baseUs + (realSteadyUs() - g_baseUs) * g_speed; }

int64_t realUsAt(int64_t us) { return g_baseUs + (us - g_baseUs) / g_speed; }

int realMs(int clockMs) { return clockMs <= 0 ? clockMs : (clockMs + g_speed - 1) / g_speed; }

}  // namespace platform
