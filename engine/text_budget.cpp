#include "engine/text_budget.h"

#include <algorithm>
#include <cstdint>

#include "engine/fail.h"
#include "engine/number.h"
#include "engine/text.h"
#include "settings/settings.h"

namespace engine {
namespace {

size_t g_bound = kDefaultTextBound;
size_t g_held = 0;

}  // namespace

void readTextBound() {
  int32_t mib;
  const bool given = numberValue(trim(settings::readSetting("ESCUTA", "MEMORIAMAXIMA")), mib) && mib > 0;
  setTextBound(given ? static_cast<size_t>(mib) << 20 : kDefaultTextBound);
}

void setTextBound(size_t bytes) { g_bound = bytes; }

bool resizeText(size_t from, size_t to) {
  from = std::min(from, g_held);
  if (to > from && to - from > g_bound - std::min(g_bound, g_held)) return failSaying("Mem\xF3ria esgotada");
  g_held = g_held - from + to;
  return true;
}

size_t textsHeld() { return g_held; }

}  // namespace engine
