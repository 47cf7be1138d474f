#pragma once
#include "instrument/acquisition/AcquisitionEngine.h"

// Test way 1: up to 100 cycles, each showing the running mean of all cycles so far, until stopped.
class RealtimeTest : public AcquisitionEngine {
public:
    using AcquisitionEngine::AcquisitionEngine;
    void Run(int unused) override;

    static constexpr int kCycles = 100;
    static constexpr uint32_t kPauseMs = 220;
};
