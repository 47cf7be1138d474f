#pragma once
#include <array>
#include <cstdint>

namespace tracefile {

// The instrument's pulse widths in ns, shortest first.
inline constexpr std::array<float, 9> kPulseWidths = {10, 80, 160, 320, 640, 1280, 5120, 10240, 20480};

// What a range (km) means for a trace: its number of points and the nominal spacing in metres per
// point that distances are computed from. A range outside the instrument's nine gives 0 for both.
uint32_t PointsForRange(float rangeKm);
float NominalSpacing(float rangeKm);
// The most points any range has, so no trace file is longer than that many samples and its block.
uint32_t LargestPointCount();

// Kilometres of cable between two samples of a trace of the range: the range's points lie range ÷ points
// apart at the group index 1.5 the samples are timed for, so the distance scales with 1.5 ÷ index and the
// cable ratio. Every distance readout comes from here; 0 for an unknown range or an index of 0.
double KilometresPerSample(float rangeKm, double refractive, double cableRatio);

} // namespace tracefile
