// Operand text shared by the commands that take a list of values.
#pragma once
#include <string>
#include <string_view>

#include "engine/status.h"

namespace engine {

struct Interp;

// Removes a final "&" and the blanks before it; whether there was one.
bool takeAmpersand(std::string_view& text);

// Joins the values of the operands, one after another, up to the first that
// does not read; what is left stays in `text`. A failure saying so when the
// result would be too long.
Status joinValues(Interp& in, std::string_view& text, std::string& out);

}  // namespace engine
