#pragma once
#include <string>
#include <string_view>

// What the trace commands print.

// Appends printf-style text.
__attribute__((format(printf, 2, 3))) void Append(std::string& out, const char* format, ...);
// A JSON string of text: quoted, with quotes, backslashes and control characters escaped and bytes
// that are not UTF-8 as U+FFFD, so a hostile file cannot break the line.
std::string JsonString(std::string_view text);
