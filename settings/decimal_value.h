// The decimal conversion used for every integer read from a quoted-field file.
#pragma once
#include <string_view>

namespace harvelo {

// Like atoi: leading white space skipped, an optional sign, then digits up to the first
// non-digit; 0 when there are none. A value beyond the range of int gives INT_MAX or
// INT_MIN instead of overflowing.
int DecimalValue(std::string_view text);

}  // namespace harvelo
