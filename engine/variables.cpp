#include "engine/variables.h"

#include <array>
#include <unordered_map>

#include "engine/text.h"

namespace engine {
namespace {

struct Store {
  std::array<std::string, kLastCode + 1> values;
  std::unordered_map<std::string, int> codes;  // upper-cased name -> code
};

Store g;

}  // namespace

void resetVariables() {
  for (std::string& v : g.values) v.clear();
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

void setVariable(int code, std::string value) { g.values[static_cast<size_t>(code)] = std::move(value); }

std::string& variableRef(int code) { return g.values[static_cast<size_t>(code)]; }

}  // namespace engine
