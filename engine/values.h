// Operand text shared by the commands that take a list of values.
#pragma once
#include <string>
#include <string_view>

namespace engine {

// Removes a final "&" and the blanks before it; whether there was one.
bool takeAmpersand(std::string_view& text);

// Joins the values of the operands, one after another, up to the first that
// does not read; what is left stays in `text`. False (having said so) when
// the result would be too long.
bool joinValues(std::string_view& text, std::string& out);

}  // namespace engine
