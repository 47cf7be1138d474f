#include "platform/Numbers.h"

#include <charconv>

namespace platform {

namespace {

std::string Format(double value, std::chars_format format, int precision) {
    char text[400]; // the longest double in fixed notation with the decimals a screen uses
    const auto result = std::to_chars(text, text + sizeof text, value, format, precision);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string();
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::string FormatFixed(double value, int decimals) {
    return Format(value, std::chars_format::fixed, decimals);
}

std::string FormatGeneral(double value, int digits) {
    return Format(value, std::chars_format::general, digits);
}

double ParseNumber(std::string_view text, size_t* used) {
    size_t at = 0;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    const char* first = text.data() + at;
    const char* last = text.data() + text.size();
    double value = 0.0;
    // A digit or a point must start the number. from_chars would also take a second minus, and "nan",
    // "inf" and "infinity" as strtod does; a NaN passes every check against bounds.
    const auto result = first != last && (IsDigit(*first) || *first == '.')
                            ? std::from_chars(first, last, value)
                            : std::from_chars_result{first, std::errc::invalid_argument};
    const auto none = [used] {
        if (used)
            *used = 0;
        return 0.0;
    };
    if (result.ec == std::errc::invalid_argument)
        return none();
    if (result.ec == std::errc::result_out_of_range) {
        // Too small is zero, as strtod gives it. Too large is no number: strtod's infinity would pass a
        // check with one bound.
        const std::string_view digits(first, static_cast<size_t>(result.ptr - first));
        const size_t exponent = digits.find_first_of("eE");
        const bool tiny =
            exponent != std::string_view::npos && exponent + 1 < digits.size() && digits[exponent + 1] == '-';
        if (!tiny)
            return none();
        value = 0.0;
    }
    if (used)
        *used = static_cast<size_t>(result.ptr - text.data());
    return negative ? -value : value;
}

} // namespace platform
