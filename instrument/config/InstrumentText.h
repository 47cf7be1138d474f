#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

// UTF-8 text with any line ends, as the data sources are kept, in the instrument's file form:
// UTF-16LE without byte-order mark, lines ended by CR LF.
std::vector<uint8_t> EncodeInstrumentText(std::string_view utf8);
