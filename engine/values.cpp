#include "engine/values.h"

#include "engine/fail.h"
#include "engine/readers.h"
#include "engine/text.h"

namespace engine {

bool takeAmpersand(std::string_view& text) {
  if (text.empty() || text.back() != '&') return false;
  text = trim(text.substr(0, text.size() - 1));
  return true;
}

bool joinValues(std::string_view& text, std::string& out) {
  std::string value;
  while (readOperand(text, value)) {
    if (!fitsOrSays(out.size() + value.size())) return false;
    out += value;
  }
  return true;
}

}  // namespace engine
