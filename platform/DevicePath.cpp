#include "platform/DevicePath.h"

#include "platform/Locale.h"
#include "shared/fileio/HostFiles.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

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
    struct Level {
        std::filesystem::path path;
        bool existing;
    };
    // The root and each folder below it so far: ".." drops the last one, never the root, however the
    // root is spelt.
    std::vector<Level> levels{{DeviceRoot(), true}};
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
            if (levels.size() > 1)
                levels.pop_back();
            continue;
        }
        const std::filesystem::path& current = levels.back().path;
        Level next{current / std::string(component), levels.back().existing};
        std::error_code error;
        if (next.existing && !std::filesystem::exists(next.path, error)) {
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
                next.existing = false;
            else
                next.path = current / match;
        }
        levels.push_back(std::move(next));
    }
    return levels.back().path;
}

bool ResolveInRoot(std::string_view devicePath, std::filesystem::path& location) {
    std::filesystem::path root, resolved;
    if (!fileio::ResolveLocation(DeviceRoot(), root) ||
        !fileio::ResolveLocation(HostPath(devicePath), resolved))
        return false;
    if (std::mismatch(root.begin(), root.end(), resolved.begin(), resolved.end()).first != root.end())
        return false;
    location = std::move(resolved);
    return true;
}

std::string UsbDiskRoot() {
    return UserDefaultLocaleId() == "0804" ? "\\硬盘" : "\\Hard Disk";
}

} // namespace platform
