#include "platform/base/decimal_point.h"

#include <langinfo.h>
#include <locale.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace platform {

char userDecimalPoint() {
  const locale_t user = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) return '.';
  const char* radix = ::nl_langinfo_l(RADIXCHAR, user);
  // A separator of more than one byte has no Windows-1252 form.
  const char point = radix && radix[0] && !radix[1] ? radix[0] : '.';
  ::freelocale(user);
  return point;
}

namespace {

// The C library's own locale is "C" here, so the point printed is always ".".
std::string withSeparator(const char* text, char separator) {
  std::string out = text;
  for (char& c : out) {
    if (c == '.') c = separator;
  }
  return out;
}

}  // namespace

std::string fixedDecimal(double value, int places, char separator) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", places, value);
  return withSeparator(text, separator);
}

std::string generalDecimal(double value, int digits, char separator) {
  char text[400];
  std::snprintf(text, sizeof text, "%.*G", digits, value);
  if (std::strchr(text, 'E')) {
    if (std::fabs(value) < 1) return "0";
    std::snprintf(text, sizeof text, "%.0f", value);
  }
  return withSeparator(text, separator);
}

}  // namespace platform
