#pragma once
#include <cstdint>

namespace tracefile {

// What a range (km) means for a trace: its number of points and the nominal spacing in metres per
// point that distances are computed from. A range outside the instrument's nine gives 0 for both.
uint32_t PointsForRange(float rangeKm);
float NominalSpacing(float rangeKm);
// The most points any range has, so no trace file is longer than that many samples and its block.
uint32_t LargestPointCount();

// Kilometres per sample for a spacing, a group refractive index and a cable ratio.
double KilometresPerSample(float spacing, float refractive, float cableRatio);

} // namespace tracefile
