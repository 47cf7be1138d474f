#include "instrument/acquisition/DriverCalls.h"

#include "platform/DebugOut.h"

namespace driver {
namespace {

bool Control(platform::DeviceHandle device, uint32_t code) {
    return platform::DeviceIoControl(device, code, nullptr, 0, nullptr, 0) != 0;
}

// Opens "POF1:" for one call and closes it again.
bool PowerControl(uint32_t code) {
    const platform::DeviceHandle pof = platform::OpenDevice("POF1:");
    if (pof == platform::INVALID_HANDLE_VALUE)
        return false;
    const bool ok = Control(pof, code);
    platform::CloseDevice(pof);
    return ok;
}

} // namespace

void ReportOpenFailure(uint32_t error) {
    platform::DebugOut("CreateFile otdr failed!\r\n");
    platform::DebugOut("Unable to open , Error No.=%d \r\n", static_cast<int>(error));
}

platform::DeviceHandle Open(const char* name) {
    const platform::DeviceHandle device = platform::OpenDevice(name);
    if (device == platform::INVALID_HANDLE_VALUE)
        ReportOpenFailure(platform::GetLastError());
    return device;
}

int PowerOff() {
    if (PowerControl(platform::POF_IOCTL_POWER_OFF))
        return 1;
    platform::DebugOut("OTDR_IOCTL_WRITE_LOW failed!\r\n");
    return 0;
}

void MeasuringSectionOn() {
    PowerControl(platform::POF_IOCTL_SECTION_ON);
}
void MeasuringSectionOff() {
    PowerControl(platform::POF_IOCTL_SECTION_OFF);
}

void VflOn(platform::DeviceHandle pof) {
    platform::DebugOut(Control(pof, platform::POF_IOCTL_VFL_ON) ? "VFL_OPEN finish\r\n"
                                                                : "VFL_OPEN failed!\r\n");
}

void VflOff(platform::DeviceHandle pof) {
    platform::DebugOut(Control(pof, platform::POF_IOCTL_VFL_OFF) ? "VFL_Close finish\r\n"
                                                                 : "VFL_Close failed!\r\n");
}

int RegisterWrite(platform::DeviceHandle otr, uint32_t reg, uint16_t value) {
    const platform::RegisterWriteBuffer buffer{reg, value, 0};
    if (otr == platform::INVALID_HANDLE_VALUE ||
        platform::DeviceIoControl(otr, platform::OTDR_IOCTL_WRITE, &buffer, sizeof buffer, nullptr, 0) == 0) {
        platform::DebugOut("OTDR_IOCTL_WRITE failed!\r\n");
        return -1;
    }
    return 0;
}

uint32_t FifoRead(platform::DeviceHandle otr) {
    uint32_t word = 0;
    if (otr == platform::INVALID_HANDLE_VALUE ||
        platform::DeviceIoControl(otr, platform::OTDR_IOCTL_READ, nullptr, 0, &word, sizeof word) == 0) {
        platform::DebugOut("OTDR_IOCTL_READ failed!\r\n");
        return UINT32_MAX;
    }
    return word;
}

bool ReadBatteryLevel(platform::DeviceHandle bat, uint8_t& level) {
    // The driver writes one byte whatever size is declared; the instrument declares none.
    uint8_t buffer[4] = {};
    if (platform::DeviceIoControl(bat, platform::BAT_IOCTL_LEVEL, nullptr, 0, buffer, 0) == 0) {
        platform::DebugOut("OTDR_IOCTL_WRITE_LOW failed!\r\n");
        return false;
    }
    level = buffer[0];
    return true;
}

} // namespace driver
