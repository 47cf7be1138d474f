#include "platform/DebugOut.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace platform {
namespace {

// Never destroyed: detached threads may still use it while the process ends.
struct SinkSlot {
    std::mutex mutex;
    DebugSink sink;
};
SinkSlot& Slot() {
    static auto* slot = new SinkSlot;
    return *slot;
}

bool DefaultEnabled() {
    static const bool enabled = [] {
        const char* value = std::getenv("LUMETRA_DEBUG");
        return value && std::strcmp(value, "1") == 0;
    }();
    return enabled;
}

} // namespace

void DebugOut(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string line(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(line.data(), line.size() + 1, format, args);
    va_end(args);

    SinkSlot& slot = Slot();
    std::lock_guard lock(slot.mutex);
    if (slot.sink) {
        slot.sink(line);
        return;
    }
    if (!DefaultEnabled())
        return;
    // The terminal wants plain line feeds; the instrument's lines end in CR LF.
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0)
        line.erase(line.size() - 2, 1);
    std::fputs(line.c_str(), stderr);
}

void SetDebugSink(DebugSink newSink) {
    std::lock_guard lock(Slot().mutex);
    Slot().sink = std::move(newSink);
}

} // namespace platform
