#pragma once
#include "platform/Device.h"

namespace simboard {

// "OTR1:": the acquisition board's register file and sample FIFO.
class OtdrDevice : public platform::DeviceDriver {
public:
    int IoControl(uint32_t code, const void* in, uint32_t inSize, void* out, uint32_t outSize) override;
};

} // namespace simboard
