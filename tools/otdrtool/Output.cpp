#include "tools/otdrtool/Output.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>

void Append(std::string& out, const char* format, ...) {
    va_list list, again;
    va_start(list, format);
    va_copy(again, list);
    const int length = std::vsnprintf(nullptr, 0, format, list);
    va_end(list);
    if (length > 0) {
        const size_t at = out.size();
        out.resize(at + static_cast<size_t>(length) + 1);
        std::vsnprintf(out.data() + at, static_cast<size_t>(length) + 1, format, again);
        out.resize(at + static_cast<size_t>(length));
    }
    va_end(again);
}

namespace {

// The length of the well-formed UTF-8 sequence at the start of text, 0 when there is none.
size_t SequenceLength(std::string_view text) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(0);
    size_t length = 0;
    uint32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        smallest = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    uint32_t code = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (byte(i) & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code >= smallest && code <= 0x10FFFF && !surrogate ? length : 0;
}

} // namespace

std::string JsonString(std::string_view text) {
    std::string json = "\"";
    while (!text.empty()) {
        const auto c = static_cast<uint8_t>(text.front());
        size_t used = 1;
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            Append(json, "\\u%04x", c);
        } else if (c < 0x80) {
            json += static_cast<char>(c);
        } else if ((used = SequenceLength(text)) != 0) {
            json.append(text.substr(0, used));
        } else {
            used = 1;
            json += "\xEF\xBF\xBD";
        }
        text.remove_prefix(used);
    }
    return json + "\"";
}
