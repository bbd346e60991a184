#include "engine/variables.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "engine/fail.h"
#include "engine/text.h"
#include "engine/text_budget.h"

namespace engine {
namespace {

struct Store {
  std::array<std::string, kLastCode + 1> values;
  std::unordered_map<std::string, int> codes;  // upper-cased name -> code
};

Store g;

}  // namespace

void resetVariables() {
  for (std::string& v : g.values) {
    (void)resizeText(v.size(), 0);
    std::string().swap(v);
  }
  g.codes.clear();
}

int enterName(std::string_view name) {
  std::string key = upper(name);
  if (const auto found = g.codes.find(key); found != g.codes.end()) return found->second;
  const int code = kFirstNamedCode + static_cast<int>(g.codes.size());
  if (code > kLastCode) return -1;
  g.codes.emplace(std::move(key), code);
  return code;
}

const std::string& variable(int code) { return g.values[static_cast<size_t>(code)]; }

bool setVariable(int code, std::string value) {
  std::string& slot = g.values[static_cast<size_t>(code)];
  if (!resizeText(slot.size(), value.size())) return false;
  slot = std::move(value);
  return true;
}

bool replaceInVariable(int code, size_t pos, size_t count, std::string_view with) {
  std::string& slot = g.values[static_cast<size_t>(code)];
  pos = std::min(pos, slot.size());
  count = std::min(count, slot.size() - pos);
  const size_t to = slot.size() - count + with.size();
  if ((to > slot.size() && !fitsOrSays(to)) || !resizeText(slot.size(), to)) return false;
  slot.replace(pos, count, with);
  return true;
}

}  // namespace engine
