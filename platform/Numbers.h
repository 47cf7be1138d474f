#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Numbers in files, settings, screens and command output, in the system's own notation whatever locale
// the process runs in (Qt switches the C library to the user's, where "1,4680" is one and a half).
namespace platform {

// As "%.<decimals>f" in the C locale.
std::string FormatFixed(double value, int decimals);
// As "%.<digits>g" in the C locale.
std::string FormatGeneral(double value, int digits);

// As strtod in the C locale reads the start of a text: leading blanks, a sign, digits with a point and
// an exponent; no hexadecimal. Only finite numbers: "nan", "inf", "infinity" and a number too large for
// a double are none (too small is zero). `used` gets the characters taken, 0 (and the result 0) when none
// form a number.
double ParseNumber(std::string_view text, size_t* used = nullptr);

} // namespace platform
