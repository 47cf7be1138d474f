#include "instrument/acquisition/AutoTest.h"

#include "platform/DebugOut.h"

#include <cstdlib>

namespace {

uint32_t MetresPerPointOfProbe(float range) {
    if (range == 16.0f)
        return 1;
    return range > 16.0f ? 8 : 0;
}

} // namespace

uint32_t AutoTest::EstimateEnd(std::span<const uint32_t> r, float pulseWidth, float range,
                               uint32_t metresPerPoint) {
    const auto D = static_cast<uint32_t>(r.size());
    const uint32_t b = static_cast<uint32_t>(pulseWidth > 0 ? pulseWidth : 0) / 10;
    const uint32_t a = (range == 64.0f || range == 128.0f) ? 20000 : 5000;
    // The walk reads up to 2b + h and the first sums up to 4b: too short a probe has no end.
    if (D < 4 * b + 2 || D < 100)
        return 0;
    uint32_t peak = 0, p = 0;
    for (uint32_t i = 0; i < 100; ++i)
        if (r[i] > peak) {
            peak = r[i];
            p = i;
        }
    uint32_t S = 0, R = 0;
    bool armed = false;
    for (uint32_t i = 101; i < D; ++i) {
        if (S == 0 && p > 0 && r[i] < peak) {
            S = i;
            continue;
        }
        if (S != 0 && i > S) {
            if (!(r[i] < peak - a) && !armed) {
                R = i;
                armed = true;
            } else if (r[i] < peak - a && armed) {
                if (R - S < 20)
                    R = i - b / 2;
                armed = false;
            }
        }
    }
    const uint32_t limit = D - 2 * b;
    int64_t T = static_cast<int32_t>(r[4 * b] - r[2 * b]);
    int64_t g = static_cast<int32_t>(r[2 * b + 1] - r[2 * b]);
    for (uint32_t h = 2 * b + 1; h < limit; ++h) {
        // x = r[2b + h - 1] must be inside the probe: the walk ends where it would not be.
        if (uint64_t{2} * b + h - 1 >= D)
            break;
        const uint32_t x = r[2 * b + h - 1];
        if ((x < 6000 && R == 0) || h == R)
            return h * metresPerPoint;
        T = T + (static_cast<int64_t>(x) - r[2 * b + h - 2]) - g;
        g = static_cast<int32_t>(r[h + 1] - r[h]);
        if (std::llabs(T) > 26000 && h > 10 * b && h >= R)
            return h * metresPerPoint;
    }
    return 0;
}

uint32_t AutoTest::Probe(uint32_t metresPerPoint) {
    Acquire();
    PostProcess(Rounds(), 0, false);
    platform::DebugOut("m_iDotNum = %d , m_iOffsetDotNum = %d , m_iInvalidDotInFIFO = %d \r\n",
                       static_cast<int>(m_iDotNum), static_cast<int>(m_iOffsetDotNum),
                       static_cast<int>(m_iInvalidDotInFIFO));
    if (Range() <= 8.0f)
        return 0;
    const std::vector<uint32_t> levels = Result();
    return EstimateEnd(levels, params_.Value(kPulseWidthItem), Range(), metresPerPoint);
}

void AutoTest::Choose(float range, float pulseWidth, float attenuation) {
    params_.items[kRangeItem].value = range;
    params_.items[kPulseWidthItem].value = pulseWidth;
    params_.items[kAttenuationItem].value = attenuation;
    Configure();
}

void AutoTest::Run(int) {
    const uint32_t first = Probe(MetresPerPointOfProbe(Range()));
    if (first >= 50000) {
        Choose(128, 1280, 5);
    } else if (first >= 22000) {
        Choose(64, 640, 5);
    } else if (first >= 11000) {
        Choose(32, 320, 5);
    } else {
        Choose(16, 320, 5);
        const uint32_t second = Probe(1);
        if (second >= 5000)
            Choose(16, 320, 5);
        else if (second >= 2800)
            Choose(8, 80, 5);
        else if (second >= 1200)
            Choose(4, 80, 10);
        else if (second >= 600)
            Choose(2, 80, 10);
        else if (second >= 350)
            Choose(1, 80, 10);
        else
            Choose(0.5f, 10, 10);
    }
    Acquire();
    PostProcess(Rounds(), context_.versionNumber, true);
    platform::DebugOut("m_iDotNum = %d , m_iOffsetDotNum = %d , m_iInvalidDotInFIFO = %d \r\n",
                       static_cast<int>(m_iDotNum), static_cast<int>(m_iOffsetDotNum),
                       static_cast<int>(m_iInvalidDotInFIFO));
}
