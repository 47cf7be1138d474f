#include "shared/tracefile/ViewGeometry.h"

#include <algorithm>

namespace tracefile {

ViewRange ViewRangeOf(float rangeKm) {
    ViewRange view;
    if (rangeKm <= 8.0f)
        view.spacing = rangeKm < 2.0f ? 0.2f : 0.5f;
    else
        view.spacing = rangeKm <= 16.0f ? 1.0f : 8.0f;
    const float points = rangeKm / view.spacing * 1024.0f;
    view.count = points > 0.0f ? static_cast<uint32_t>(points) : 0;
    return view;
}

uint32_t FullViewStep(uint32_t count, int width) {
    return std::max<uint32_t>(1, count / static_cast<uint32_t>(width));
}

uint32_t CentredFirstSample(int64_t f, uint32_t step, int width, uint32_t count) {
    const int64_t half = static_cast<int64_t>(step) * (width / 2);
    const int64_t n = count;
    int64_t first;
    if (f < n / 2)
        first = half < f ? f - half : 0;
    else
        first = half < n - f ? f - half : n - static_cast<int64_t>(width) * step;
    return static_cast<uint32_t>(std::max<int64_t>(0, first));
}

float MetresPerDivision(uint32_t step, int xDivision, float spacing) {
    return static_cast<float>(step) * static_cast<float>(xDivision) * spacing;
}

float DbPerDivision(float verticalZoom) {
    return 40.0f / (verticalZoom * 8.0f);
}

} // namespace tracefile
