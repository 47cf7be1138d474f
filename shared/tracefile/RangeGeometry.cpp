#include "shared/tracefile/RangeGeometry.h"

namespace tracefile {

namespace {

struct RangeRow {
    float km;
    uint32_t points;
    float spacing;
};

constexpr RangeRow kRanges[] = {
    {0.5f, 2560, 0.2f},  {1.0f, 5120, 0.2f},  {2.0f, 4096, 0.5f},
    {4.0f, 8192, 0.5f},  {8.0f, 16384, 0.5f}, {16.0f, 16384, 1.0f},
    {32.0f, 4096, 8.0f}, {64.0f, 8192, 8.0f}, {128.0f, 16384, 8.0f},
};

const RangeRow* Find(float km) {
    for (const RangeRow& row : kRanges)
        if (row.km == km)
            return &row;
    return nullptr;
}

} // namespace

uint32_t PointsForRange(float rangeKm) {
    const RangeRow* row = Find(rangeKm);
    return row ? row->points : 0;
}

float NominalSpacing(float rangeKm) {
    const RangeRow* row = Find(rangeKm);
    return row ? row->spacing : 0.0f;
}

uint32_t LargestPointCount() {
    uint32_t most = 0;
    for (const RangeRow& row : kRanges)
        most = row.points > most ? row.points : most;
    return most;
}

double KilometresPerSample(float rangeKm, double refractive, double cableRatio) {
    const RangeRow* row = Find(rangeKm);
    if (!row || refractive == 0.0)
        return 0.0;
    return static_cast<double>(row->km) / row->points * 1.5 * cableRatio / refractive;
}

} // namespace tracefile
