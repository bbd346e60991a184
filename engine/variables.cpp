#include "engine/variables.h"

#include <algorithm>

#include "engine/interp.h"
#include "engine/text.h"
#include "engine/text_budget.h"

namespace engine {

int enterName(Interp& in, std::string_view name) {
  VariableStore& g = in.variables;
  std::string key = upper(name);
  if (const auto found = g.codes.find(key); found != g.codes.end()) return found->second;
  const int code = kFirstNamedCode + static_cast<int>(g.codes.size());
  if (code > kLastCode) return -1;
  g.codes.emplace(std::move(key), code);
  return code;
}

const std::string& variable(const Interp& in, int code) { return in.variables.values[static_cast<size_t>(code)]; }

Status setVariable(Interp& in, int code, std::string value) {
  std::string& slot = in.variables.values[static_cast<size_t>(code)];
  if (Status s = resizeText(in, slot.size(), value.size()); !s.ok()) return s;
  slot = std::move(value);
  return true;
}

Status replaceInVariable(Interp& in, int code, size_t pos, size_t count, std::string_view with) {
  std::string& slot = in.variables.values[static_cast<size_t>(code)];
  pos = std::min(pos, slot.size());
  count = std::min(count, slot.size() - pos);
  const size_t to = slot.size() - count + with.size();
  if (to > slot.size()) {
    if (Status s = fitsValueSize(to); !s.ok()) return s;
  }
  if (Status s = resizeText(in, slot.size(), to); !s.ok()) return s;
  slot.replace(pos, count, with);
  return true;
}

}  // namespace engine
