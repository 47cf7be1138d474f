#pragma once
#include "instrument/acquisition/AcquisitionEngine.h"

// Test way 0: the rounds of shot groups of the average time, one read, one trace.
class AveragingTest : public AcquisitionEngine {
public:
    using AcquisitionEngine::AcquisitionEngine;
    void Run(int unused) override;
};
