#pragma once
#include <string>

namespace platform {

// "%.<decimals>f" in the C locale, whatever locale the process runs in: texts on screens and in files
// use the system's own decimal point.
std::string FormatFixed(double value, int decimals);

} // namespace platform
