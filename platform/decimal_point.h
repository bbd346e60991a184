// Numbers with decimals written the user's way: the decimal separator of the
// user's LC_NUMERIC locale (from the environment, as setlocale would take
// it), without changing the program's own locale.
#pragma once
#include <string>

namespace platform {

// The user's decimal separator; "." when the locale is unknown.
char userDecimalPoint();

// Fixed notation with `places` decimals and that separator.
std::string fixedDecimal(double value, int places, char separator);

}  // namespace platform
