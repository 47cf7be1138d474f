#pragma once
#include "platform/Device.h"

namespace simboard {

// "OTR1:": the acquisition board's register file and sample FIFO. Each open takes the scenario afresh.
class OtdrDevice : public platform::DeviceDriver {
public:
    OtdrDevice();
    int IoControl(uint32_t code, const void* in, uint32_t inSize, void* out, uint32_t outSize) override;
};

} // namespace simboard
