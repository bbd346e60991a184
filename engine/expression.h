// Integer expressions in parentheses, with 64-bit arithmetic and the
// language's tolerance of a dangling operator: (2*) is 2 and (2*+3) is 5.
#pragma once
#include <cstdint>
#include <string_view>

namespace engine {

struct Interp;

// `text` starts just after the opening "("; on success it is left just
// after the matching ")". Fails on a bad token, a missing ")", a variable
// that does not read as a number, division by zero or too deep nesting.
bool evaluateExpression(Interp& in, std::string_view& text, int64_t& value);

}  // namespace engine
