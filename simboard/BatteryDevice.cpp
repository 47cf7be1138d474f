#include "simboard/BatteryDevice.h"

#include "simboard/SimBoard.h"

namespace simboard {

int BatteryDevice::IoControl(uint32_t code, const void*, uint32_t, void* out, uint32_t) {
    SimBoard& board = SimBoard::Instance();
    board.CountCall("BAT1:", code);
    if (code != platform::BAT_IOCTL_LEVEL) {
        platform::SetLastError(platform::ERROR_NOT_SUPPORTED);
        return 0;
    }
    if (!out) {
        platform::SetLastError(platform::ERROR_INVALID_PARAMETER);
        return 0;
    }
    *static_cast<uint8_t*>(out) = board.BatteryLevel();
    return 1;
}

} // namespace simboard
