#include "simboard/SimBoard.h"

#include "tests/simboard/DynamicRange.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

class DynamicRangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        simboard::RegisterSimulatedBoard();
        simboard::SimBoard::Instance().Reset();
    }

    DynamicRange Measure(const Acquisition& a) {
        simboard::SimBoard::Instance().Reset();
        const DynamicRange range = MeasureDynamicRange(a);
        EXPECT_TRUE(std::isfinite(range.db))
            << a.rangeKm << " km, " << a.pulseNs << " ns, average " << a.avgTime;
        return range;
    }

    // Least-squares dB per doubling of `values`, each measured with `set` applied.
    template <typename Set> double PerDoubling(Acquisition a, const std::vector<double>& values, Set set) {
        double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
        for (const double value : values) {
            set(a, value);
            const double x = std::log2(value), y = Measure(a).db;
            n += 1, sx += x, sy += y, sxx += x * x, sxy += x * y;
        }
        return (n * sxy - sx * sy) / (n * sxx - sx * sx);
    }
};

TEST_F(DynamicRangeTest, GrowsWithTheRootOfTheAveragingAndInProportionToThePulseWidth) {
    const auto average = [](Acquisition& a, double value) { a.avgTime = static_cast<int>(value); };
    const auto pulse = [](Acquisition& a, double value) { a.pulseNs = static_cast<float>(value); };
    Acquisition shortRange; // 16 km: the noise words come from the records
    shortRange.pulseNs = 320.0f;
    // Noise falling as 1/sqrt(N) lowers the floor by 1.5 dB of signal per doubling: 0.75 dB one way.
    EXPECT_NEAR(PerDoubling(shortRange, {1, 2, 4, 8, 16}, average), 0.75, 0.2);
    shortRange.avgTime = 4;
    EXPECT_NEAR(PerDoubling(shortRange, {80, 160, 320, 640, 1280}, pulse), 1.5, 0.25)
        << "backscatter in proportion to the pulse: 3 dB of signal, 1.5 dB one way per doubling";

    Acquisition longRange; // 128 km: from beyond them
    longRange.rangeKm = 128.0;
    longRange.wavelength = 1550;
    longRange.pulseNs = 1280.0f;
    EXPECT_NEAR(PerDoubling(longRange, {2, 8, 32}, average), 0.75, 0.2);
    longRange.avgTime = 8;
    EXPECT_NEAR(PerDoubling(longRange, {1280, 5120, 20480}, pulse), 1.5, 0.25);
}

TEST_F(DynamicRangeTest, TheTraceRunsStraightUntilItMeetsTheNoiseFloor) {
    Acquisition quick; // the quick test's settings
    quick.pulseNs = 320.0f;
    Acquisition longHaul;
    longHaul.rangeKm = 128.0;
    longHaul.wavelength = 1550;
    longHaul.pulseNs = 5120.0f;
    longHaul.attenuationDb = 0.0f;
    longHaul.avgTime = 64;
    for (const Acquisition& a : {quick, longHaul}) {
        SCOPED_TRACE(testing::Message() << a.rangeKm << " km, " << a.pulseNs << " ns, average " << a.avgTime);
        const DynamicRange range = Measure(a);
        // The smoothing truncates about 6 counts a cycle: a receiver with less noise than that shows the
        // far backscatter bending down by dBs before any noise.
        EXPECT_LT(std::fabs(range.bendDb), 0.4);
        EXPECT_GT(range.db, 12.0);
    }
}

} // namespace
