#pragma once
#include "instrument/acquisition/AcquisitionEngine.h"

#include <span>

// Test way 2: probes the fibre, chooses range, pulse width and attenuation by the end it finds, and
// measures with them.
class AutoTest : public AcquisitionEngine {
public:
    using AcquisitionEngine::AcquisitionEngine;
    void Run(int unused) override;

    // The end of the fibre in metres from a probe's levels, or 0 when none is found.
    static uint32_t EstimateEnd(std::span<const uint32_t> r, float pulseWidth, float range,
                                uint32_t metresPerPoint);

private:
    // A probe: an averaging acquisition converted by the first level rule and kept, not handed off.
    uint32_t Probe(uint32_t metresPerPoint);
    void Choose(float range, float pulseWidth, float attenuation);
};
