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

// At most `digits` significant digits, trailing zeros dropped, with that
// separator; never in exponent form: a value too large for the digits is
// written whole, one too small for them is 0.
std::string generalDecimal(double value, int digits, char separator);

}  // namespace platform
