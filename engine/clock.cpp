#include "engine/clock.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace engine {
namespace {

// The fixed moment, when one is set and reads.
bool fixedTime(WallTime& t) {
  const char* env = std::getenv("ESCUTA_FIXED_TIME");
  if (!env || !*env) return false;
  t = WallTime{};
  const int n = std::sscanf(env, "%d-%d-%d %d:%d:%d.%d", &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second,
                            &t.centis);
  if (n < 6) return false;
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = 12;
  std::mktime(&tm);
  t.weekday = tm.tm_wday;
  return true;
}

WallTime fromTm(const std::tm& tm, long nanos) {
  return WallTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                  static_cast<int>(nanos / 10000000), tm.tm_wday};
}

}  // namespace

WallTime localNow() {
  WallTime t;
  if (fixedTime(t)) return t;
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  std::tm tm;
  localtime_r(&ts.tv_sec, &tm);
  return fromTm(tm, ts.tv_nsec);
}

int64_t utcMillisOfDay() {
  WallTime t;
  if (fixedTime(t)) return ((t.hour * 60LL + t.minute) * 60 + t.second) * 1000 + t.centis * 10;
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  return static_cast<int64_t>(ts.tv_sec % 86400) * 1000 + ts.tv_nsec / 1000000;
}

}  // namespace engine
