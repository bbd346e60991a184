// Sub-command and option words at the front of an operand text.
#pragma once
#include <string_view>

#include "engine/text.h"

namespace engine {

// Takes `word` (capitals; the text in any case) from the front of the text,
// with the blanks after it.
inline bool takeWord(std::string_view& text, std::string_view word) {
  if (!startsUpper(text, word)) return false;
  text = trim(text.substr(word.size()));
  return true;
}

}  // namespace engine
