// The key combinations ACIONA understands: "CTRL+", "SHIFT+" and "ALT+" taken
// off in that order, then a key name, "#" and a virtual key number, or one
// character whose code names its key.
#pragma once
#include <string_view>

namespace automation {

struct KeyCombination {
  int key = 0;  // virtual key
  bool ctrl = false, shift = false, alt = false;
};

// `capitals` is the operand already upper-cased. False when what remains
// after the prefixes is no key.
bool parseKeyCombination(std::string_view capitals, KeyCombination& out);

}  // namespace automation
