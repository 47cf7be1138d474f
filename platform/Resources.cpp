#include "platform/Resources.h"

#include <map>
#include <mutex>

namespace platform {
namespace {

// Never destroyed: detached threads may still use it while the process ends.
std::mutex resourcesMutex;
std::map<std::pair<int, std::string>, std::span<const uint8_t>>& Table() {
    static auto* table = new std::map<std::pair<int, std::string>, std::span<const uint8_t>>;
    return *table;
}

} // namespace

void RegisterResource(int id, const std::string& type, std::span<const uint8_t> bytes) {
    std::lock_guard lock(resourcesMutex);
    Table()[{id, type}] = bytes;
}

std::optional<std::span<const uint8_t>> FindResource(int id, const std::string& type) {
    std::lock_guard lock(resourcesMutex);
    const auto it = Table().find({id, type});
    if (it == Table().end())
        return std::nullopt;
    return it->second;
}

} // namespace platform
