#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// Control codes of the three drivers.
constexpr uint32_t OTDR_IOCTL_WRITE = 16; // "OTR1:": in = RegisterWriteBuffer, reg from BoardRegisters.h
constexpr uint32_t OTDR_IOCTL_READ = 17;  // "OTR1:": out = one uint32_t FIFO word
constexpr uint32_t POF_IOCTL_POWER_OFF = 1;
constexpr uint32_t POF_IOCTL_VFL_ON = 2;
constexpr uint32_t POF_IOCTL_VFL_OFF = 4;
constexpr uint32_t POF_IOCTL_SECTION_OFF = 5;
constexpr uint32_t POF_IOCTL_SECTION_ON = 6;
constexpr uint32_t BAT_IOCTL_LEVEL = 1; // "BAT1:": the driver writes one byte into the output buffer

// Input of OTDR_IOCTL_WRITE, little-endian on the wire.
struct RegisterWriteBuffer {
    uint32_t reg;
    uint16_t value;
    uint16_t unused;
};
static_assert(sizeof(RegisterWriteBuffer) == 8);

constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
constexpr uint32_t ERROR_INVALID_HANDLE = 6;
constexpr uint32_t ERROR_NOT_SUPPORTED = 50;
constexpr uint32_t ERROR_INVALID_PARAMETER = 87;

// One open instance of a driver.
class DeviceDriver {
public:
    virtual ~DeviceDriver() = default;
    // Nonzero is success; on failure the driver may set the last error.
    virtual int IoControl(uint32_t code, const void* in, uint32_t inSize, void* out, uint32_t outSize) = 0;
};

using DriverFactory = std::function<std::unique_ptr<DeviceDriver>()>;

void RegisterDriver(const std::string& name, DriverFactory factory);
void UnregisterDriver(const std::string& name);

using DeviceHandle = intptr_t;
constexpr DeviceHandle INVALID_HANDLE_VALUE = -1;

DeviceHandle OpenDevice(std::string_view name);
int DeviceIoControl(DeviceHandle device, uint32_t code, const void* in, uint32_t inSize, void* out,
                    uint32_t outSize);
bool CloseDevice(DeviceHandle device);

// The calling thread's last error code, as the device calls left it.
uint32_t GetLastError();
void SetLastError(uint32_t error);

} // namespace platform
