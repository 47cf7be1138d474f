#pragma once
#include <functional>
#include <string_view>

namespace platform {

// One call, one line, formatted printf-style; the text keeps its own line end.
void DebugOut(const char* format, ...) __attribute__((format(printf, 1, 2)));

using DebugSink = std::function<void(std::string_view)>;

// Replaces where lines go; an empty sink restores the default (standard error when LUMETRA_DEBUG=1).
void SetDebugSink(DebugSink sink);

} // namespace platform
