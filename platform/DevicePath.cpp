#include "platform/DevicePath.h"

#include "platform/Locale.h"

#include <cstdlib>
#include <mutex>
#include <string>
#include <system_error>

namespace platform {
namespace {

// Never destroyed: detached threads may still use it while the process ends.
struct RootSlot {
    std::mutex mutex;
    std::filesystem::path root;
};
RootSlot& Slot() {
    static auto* slot = new RootSlot;
    return *slot;
}

std::filesystem::path DefaultRoot() {
    if (const char* root = std::getenv("LUMETRA_ROOT"); root && *root)
        return root;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return std::filesystem::path(data) / "lumetra" / "device";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : ".") / ".local" / "share" / "lumetra" / "device";
}

char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::filesystem::path DeviceRoot() {
    std::lock_guard lock(Slot().mutex);
    return Slot().root.empty() ? DefaultRoot() : Slot().root;
}

void SetDeviceRoot(const std::filesystem::path& root) {
    std::lock_guard lock(Slot().mutex);
    Slot().root = root;
}

bool SameFileName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

std::filesystem::path HostPath(std::string_view devicePath) {
    std::filesystem::path current = DeviceRoot();
    bool existing = true;
    size_t start = 0;
    while (start <= devicePath.size()) {
        size_t end = devicePath.find_first_of("\\/", start);
        if (end == std::string_view::npos)
            end = devicePath.size();
        const std::string_view component = devicePath.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == ".")
            continue;
        if (component == "..") {
            // Never leave the device root.
            if (current != DeviceRoot())
                current = current.parent_path();
            continue;
        }
        std::filesystem::path next = current / std::string(component);
        std::error_code error;
        if (existing && !std::filesystem::exists(next, error)) {
            std::string match;
            for (std::filesystem::directory_iterator it(current, error), last; !error && it != last;
                 it.increment(error)) {
                const std::string name = it->path().filename().string();
                if (SameFileName(name, component)) {
                    match = name;
                    break;
                }
            }
            if (match.empty())
                existing = false;
            else
                next = current / match;
        }
        current = std::move(next);
    }
    return current;
}

std::string UsbDiskRoot() {
    return UserDefaultLocaleId() == "0804" ? "\\硬盘" : "\\Hard Disk";
}

} // namespace platform
