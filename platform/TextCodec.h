#pragma once
#include <string>
#include <string_view>

namespace platform {

// Invalid sequences become U+FFFD, so garbled input never stops a conversion.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

} // namespace platform
