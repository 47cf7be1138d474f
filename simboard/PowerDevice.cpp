#include "simboard/PowerDevice.h"

#include "simboard/SimBoard.h"

namespace simboard {

int PowerDevice::IoControl(uint32_t code, const void*, uint32_t, void*, uint32_t) {
    SimBoard& board = SimBoard::Instance();
    board.CountCall("POF1:", code);
    switch (code) {
    case platform::POF_IOCTL_POWER_OFF:
        board.PowerOff();
        return 1;
    case platform::POF_IOCTL_VFL_ON:
        board.SetLight(true);
        return 1;
    case platform::POF_IOCTL_VFL_OFF:
        board.SetLight(false);
        return 1;
    case platform::POF_IOCTL_SECTION_OFF:
        board.SetMeasuringSection(false);
        return 1;
    case platform::POF_IOCTL_SECTION_ON:
        board.SetMeasuringSection(true);
        return 1;
    default:
        platform::SetLastError(platform::ERROR_NOT_SUPPORTED);
        return 0;
    }
}

} // namespace simboard
