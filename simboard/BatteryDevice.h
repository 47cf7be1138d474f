#pragma once
#include "platform/Device.h"

namespace simboard {

// "BAT1:": code 1 writes the level into the first byte of the output buffer, whatever size the caller
// declared (the instrument passes 0).
class BatteryDevice : public platform::DeviceDriver {
public:
    int IoControl(uint32_t code, const void* in, uint32_t inSize, void* out, uint32_t outSize) override;
};

} // namespace simboard
