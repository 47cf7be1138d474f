#include "platform/Device.h"

#include <map>
#include <mutex>

namespace platform {
namespace {

thread_local uint32_t lastError = 0;

struct Registry {
    std::mutex mutex;
    std::map<std::string, DriverFactory, std::less<>> drivers;
    std::map<DeviceHandle, std::shared_ptr<DeviceDriver>> open;
    DeviceHandle next = 0x100;
};

// Never destroyed: detached threads may still use it while the process ends.
Registry& registry() {
    static auto* instance = new Registry;
    return *instance;
}

std::shared_ptr<DeviceDriver> Find(DeviceHandle device) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = r.open.find(device);
    return it == r.open.end() ? nullptr : it->second;
}

} // namespace

void RegisterDriver(const std::string& name, DriverFactory factory) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.drivers[name] = std::move(factory);
}

void UnregisterDriver(const std::string& name) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.drivers.erase(name);
}

DeviceHandle OpenDevice(std::string_view name) {
    Registry& r = registry();
    DriverFactory factory;
    {
        std::lock_guard lock(r.mutex);
        const auto it = r.drivers.find(name);
        if (it == r.drivers.end()) {
            lastError = ERROR_FILE_NOT_FOUND;
            return INVALID_HANDLE_VALUE;
        }
        factory = it->second;
    }
    std::shared_ptr<DeviceDriver> driver = factory ? factory() : nullptr;
    if (!driver) {
        lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    std::lock_guard lock(r.mutex);
    const DeviceHandle handle = r.next++;
    r.open.emplace(handle, std::move(driver));
    return handle;
}

int DeviceIoControl(DeviceHandle device, uint32_t code, const void* in, uint32_t inSize, void* out,
                    uint32_t outSize) {
    const std::shared_ptr<DeviceDriver> driver = Find(device);
    if (!driver) {
        lastError = ERROR_INVALID_HANDLE;
        return 0;
    }
    return driver->IoControl(code, in, inSize, out, outSize);
}

bool CloseDevice(DeviceHandle device) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (r.open.erase(device) == 0) {
        lastError = ERROR_INVALID_HANDLE;
        return false;
    }
    return true;
}

uint32_t GetLastError() {
    return lastError;
}
void SetLastError(uint32_t error) {
    lastError = error;
}

} // namespace platform
