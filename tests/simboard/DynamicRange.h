#pragma once
// The one-way dynamic range of the simulated receiver, measured through the engine on a bare fibre that
// fades into the noise well before the end of the range.
#include "tests/simboard/AveragingRun.h"

#include <cmath>

struct DynamicRange {
    // One-way dB from the front panel to where the trace is still 3 dB above the floor; NaN when the
    // fibre could not show it (the straight part too short, or the floor reached past its end).
    double db = NAN;
    double startLevel = 0.0; // the straight backscatter extrapolated to the front panel, level units
    double floorLevel = 0.0; // rms of the dark trace as displayed, level units
    // How far the trace lies below its straight line where it meets the floor, one-way dB: the
    // smoothing's truncation once the noise no longer hides it.
    double bendDb = 0.0;
};

// Sets the board's scenario to the measuring fibre and runs one averaging test with `a`'s settings.
// The simulated board must be registered.
DynamicRange MeasureDynamicRange(const Acquisition& a);
