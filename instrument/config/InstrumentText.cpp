#include "instrument/config/InstrumentText.h"

#include "platform/TextCodec.h"

std::vector<uint8_t> EncodeInstrumentText(std::string_view utf8) {
    std::string lines;
    lines.reserve(utf8.size() + utf8.size() / 16);
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r')
            continue;
        if (utf8[i] == '\n')
            lines += '\r';
        lines += utf8[i];
    }
    const std::u16string text = platform::Utf8ToUtf16(lines);
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}
