// Conditions of SE and ENQUANTO: [NÃO] operand operator operand, or
// [NÃO] operand EM [list].
#pragma once
#include <string_view>

namespace engine {

struct Interp;

// False when the condition does not parse. Otherwise `result` holds its
// truth and `text` what follows it, trimmed.
bool evaluateCondition(Interp& in, std::string_view& text, bool& result);

}  // namespace engine
