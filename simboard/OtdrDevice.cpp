#include "simboard/OtdrDevice.h"

#include "simboard/SimBoard.h"

#include <cstring>

namespace simboard {

OtdrDevice::OtdrDevice() {
    SimBoard::Instance().ReloadScenario();
}

int OtdrDevice::IoControl(uint32_t code, const void* in, uint32_t inSize, void* out, uint32_t outSize) {
    SimBoard& board = SimBoard::Instance();
    board.CountOtdrCall(code);
    switch (code) {
    case platform::OTDR_IOCTL_WRITE: {
        if (!in || inSize < sizeof(platform::RegisterWriteBuffer)) {
            platform::SetLastError(platform::ERROR_INVALID_PARAMETER);
            return 0;
        }
        platform::RegisterWriteBuffer buffer;
        std::memcpy(&buffer, in, sizeof buffer);
        board.WriteRegister(buffer.reg, buffer.value);
        return 1;
    }
    case platform::OTDR_IOCTL_READ: {
        if (!out || outSize < sizeof(uint32_t)) {
            platform::SetLastError(platform::ERROR_INVALID_PARAMETER);
            return 0;
        }
        const uint32_t word = board.ReadFifo();
        std::memcpy(out, &word, sizeof word);
        return 1;
    }
    default:
        platform::SetLastError(platform::ERROR_NOT_SUPPORTED);
        return 0;
    }
}

} // namespace simboard
