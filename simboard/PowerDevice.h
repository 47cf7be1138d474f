#pragma once
#include "platform/Device.h"

namespace simboard {

// "POF1:": power off, fault-locator light, measuring section.
class PowerDevice : public platform::DeviceDriver {
public:
    int IoControl(uint32_t code, const void* in, uint32_t inSize, void* out, uint32_t outSize) override;
};

} // namespace simboard
