#include "engine/text_budget.h"

#include <algorithm>
#include <cstdint>

#include "engine/interp.h"
#include "engine/number.h"
#include "engine/text.h"
#include "settings/settings.h"

namespace engine {

void readTextBound(Interp& in) {
  int32_t mib;
  const bool given = numberValue(trim(settings::readSetting("ESCUTA", "MEMORIAMAXIMA")), mib) && mib > 0;
  setTextBound(in, given ? static_cast<size_t>(mib) << 20 : kDefaultTextBound);
}

void setTextBound(Interp& in, size_t bytes) { in.texts.bound = bytes; }

Status resizeText(Interp& in, size_t from, size_t to) {
  TextBudget& t = in.texts;
  from = std::min(from, t.held);
  if (to > from && to - from > t.bound - std::min(t.bound, t.held)) return failSaying("Mem\xF3ria esgotada");
  t.held = t.held - from + to;
  return true;
}

size_t textsHeld(const Interp& in) { return in.texts.held; }

}  // namespace engine
