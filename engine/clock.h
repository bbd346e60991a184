// The wall clock as scripts see it. ESCUTA_FIXED_TIME ("2025-03-05 13:05:07",
// optionally with ".cc" hundredths) stops it at one moment, so that runs
// that read the date or time can be compared.
#pragma once
#include <cstdint>

namespace engine {

struct WallTime {
  int year, month, day;
  int hour, minute, second, centis;
  int weekday;  // 0 = Sunday
};

// Local time.
WallTime localNow();

// Milliseconds since midnight, coordinated universal time.
int64_t utcMillisOfDay();

}  // namespace engine
