#pragma once
#include <cstdint>

namespace tracefile {

// How the trace views of both programs lay out a range: metres between samples (0.2 below 2 km, 0.5 up
// to 8 km, 1 up to 16 km, 8 above) and trunc(range / spacing x 1024) samples. Unlike the range table it
// answers for any range, since the instrument may be set to one before a file says otherwise.
struct ViewRange {
    float spacing = 0.0f;
    uint32_t count = 0;
};
ViewRange ViewRangeOf(float rangeKm);
// Samples a column when the whole trace fits `width` columns; at least 1.
uint32_t FullViewStep(uint32_t count, int width);

// The first sample of a view `width` columns wide at `step` samples a column, centred on sample f
// where the trace leaves room on both sides, else resting against its start or its end.
uint32_t CentredFirstSample(int64_t f, uint32_t step, int width, uint32_t count);

// The horizontal scale in metres per division (labelled in km) and the vertical one in dB per division.
float MetresPerDivision(uint32_t step, int xDivision, float spacing);
float DbPerDivision(float verticalZoom);

} // namespace tracefile
