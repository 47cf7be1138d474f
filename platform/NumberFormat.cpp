#include "platform/NumberFormat.h"

#include <charconv>

namespace platform {

std::string FormatFixed(double value, int decimals) {
    char text[400]; // the longest double in fixed notation with the decimals a screen uses
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string();
}

} // namespace platform
