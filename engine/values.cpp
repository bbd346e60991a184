#include "engine/values.h"

#include "engine/readers.h"
#include "engine/text.h"
#include "engine/variables.h"

namespace engine {

bool takeAmpersand(std::string_view& text) {
  if (text.empty() || text.back() != '&') return false;
  text = trim(text.substr(0, text.size() - 1));
  return true;
}

Status joinValues(Interp& in, std::string_view& text, std::string& out) {
  std::string value;
  while (readOperand(in, text, value)) {
    if (Status s = fitsValueSize(out.size() + value.size()); !s.ok()) return s;
    out += value;
  }
  return true;
}

}  // namespace engine
