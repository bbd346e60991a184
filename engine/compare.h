// The comparison rule of conditions: values are compared in their
// zero-padded form, so that numbers of up to 21 digits compare as numbers
// ("9" < "10", "007" = "7") and everything else as upper-cased text.
#pragma once
#include <string>
#include <string_view>

namespace engine {

// The value upper-cased; when it is all digits (the empty text too), the
// last 21 characters of twenty zeros followed by it.
std::string paddedForm(std::string_view value);

// <0, 0 or >0 as the padded form of a is below, equal to or above that of
// b, byte by byte, a prefix being the smaller.
int comparePadded(std::string_view a, std::string_view b);

}  // namespace engine
