#include "simboard/AcquisitionBoard.h"
#include "simboard/SimBoard.h"

#include "instrument/acquisition/DriverCalls.h"
#include "tests/simboard/AveragingRun.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace figures = simboard::figures;
constexpr double kIndex = 1.468;
constexpr double kDbPerLevel = 0.0005;

struct Line {
    double slope; // level units per km
    double intercept;
    double At(double km) const { return intercept + slope * km; }
};

class BoardPhysicsTest : public ::testing::Test {
protected:
    void SetUp() override {
        simboard::RegisterSimulatedBoard();
        board.Reset();
    }

    void Use(const std::string& text) {
        simboard::Scenario s;
        std::string error;
        ASSERT_TRUE(simboard::ParseScenario(text, s, error)) << error;
        ASSERT_TRUE(board.SetScenario(s, error)) << error;
    }

    std::unique_ptr<AveragingRun> Run(const Acquisition& a) {
        auto engine = std::make_unique<AveragingRun>(a);
        engine->Configure();
        engine->Run();
        return engine;
    }

    size_t Point(const AveragingRun& e, double km) const {
        return static_cast<size_t>(std::lround(km * 1000.0 / e.MetresPerPoint(kIndex)));
    }

    // The received signal per cycle of shot groups, unsmoothed: sums over the average time less the dark
    // level of the noise words.
    static std::vector<double> Linear(const AveragingRun& e, int avgTime) {
        std::vector<double> out(e.DotNum());
        double dark = 0.0;
        for (uint32_t k = e.DotNum(); k < e.DotNum() + e.OffsetDotNum(); ++k)
            dark += e.Sums()[k];
        dark /= e.OffsetDotNum();
        for (uint32_t k = 0; k < e.DotNum(); ++k)
            out[k] = (static_cast<double>(e.Sums()[k]) - dark) / avgTime;
        return out;
    }

    Line Fit(const AveragingRun& e, const std::vector<uint32_t>& levels, double fromKm, double toKm) const {
        double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
        for (size_t k = Point(e, fromKm); k <= Point(e, toKm); ++k) {
            const double x = static_cast<double>(k) * e.MetresPerPoint(kIndex) / 1000.0, y = levels[k];
            n += 1, sx += x, sy += y, sxx += x * x, sxy += x * y;
        }
        const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
        return {slope, (sy - slope * sx) / n};
    }

    simboard::SimBoard& board = simboard::SimBoard::Instance();
};

TEST_F(BoardPhysicsTest, BackscatterFollowsAttenuationWavelengthAndPulseWidth) {
    Use("fibre 6 0.35 0.20 1.468\nfibre 8 0.30 0.23 1.468");
    Acquisition a;
    a.avgTime = 4;
    Line first[2], second[2];
    for (const int wavelength : {1310, 1550}) {
        a.wavelength = wavelength;
        auto e = Run(a);
        const std::vector<uint32_t> levels = e->Levels();
        first[wavelength == 1550] = Fit(*e, levels, 1.5, 5.5);
        second[wavelength == 1550] = Fit(*e, levels, 6.5, 12.0);
    }
    EXPECT_NEAR(-first[0].slope * kDbPerLevel, 0.35, 0.005);
    EXPECT_NEAR(-first[1].slope * kDbPerLevel, 0.20, 0.005);
    EXPECT_NEAR(-second[0].slope * kDbPerLevel, 0.30, 0.005) << "the second reel";
    EXPECT_NEAR(-second[1].slope * kDbPerLevel, 0.23, 0.005);
    // Weaker scattering at the longer wavelength: 2 dB of received power is 2000 level units.
    EXPECT_NEAR(first[0].intercept - first[1].intercept,
                1000.0 * (figures::kBackscatter1310Db - figures::kBackscatter1550Db), 150);

    a.wavelength = 1310;
    a.pulseNs = 320.0f;
    auto shorter = Run(a);
    EXPECT_NEAR(first[0].intercept - Fit(*shorter, shorter->Levels(), 1.5, 5.5).intercept,
                10000 * std::log10(2.0), 150)
        << "backscatter in proportion to the pulse width";
}

TEST_F(BoardPhysicsTest, SplicesAndBendsStepTheBackscatterByTheirLoss) {
    Use("fibre 10 0.35 0.20 1.468\nsplice 4 0.5\nbend 7 0.1 0.5");
    for (const int wavelength : {1310, 1550}) {
        SCOPED_TRACE(wavelength);
        Acquisition a;
        a.wavelength = wavelength;
        a.avgTime = 4;
        auto e = Run(a);
        const std::vector<uint32_t> levels = e->Levels();
        const Line before = Fit(*e, levels, 2.5, 3.8), between = Fit(*e, levels, 4.3, 6.7),
                   after = Fit(*e, levels, 7.3, 9.0);
        EXPECT_NEAR((before.At(4) - between.At(4)) * kDbPerLevel, 0.5, 0.03);
        EXPECT_NEAR((between.At(7) - after.At(7)) * kDbPerLevel, wavelength == 1310 ? 0.1 : 0.5, 0.03);
    }
}

TEST_F(BoardPhysicsTest, ReflectionsStartAtTheirDistanceAndLastAsLongAsThePulse) {
    Use("fibre 1.8 0.35 0.2 1.468\nconnector 1 0.2 -45");
    for (const float pulse : {80.0f, 160.0f, 320.0f, 640.0f}) {
        SCOPED_TRACE(testing::Message() << pulse << " ns");
        Acquisition a;
        a.rangeKm = 2.0;
        a.pulseNs = pulse;
        a.attenuationDb = 10.0f;
        a.avgTime = 2;
        auto e = Run(a);
        const std::vector<double> v = Linear(*e, a.avgTime);
        double background = 0.0;
        for (size_t k = Point(*e, 0.8); k < Point(*e, 0.95); ++k)
            background += v[k];
        background /= static_cast<double>(Point(*e, 0.95) - Point(*e, 0.8));
        const size_t from = Point(*e, 0.95), to = Point(*e, 1.2);
        const double peak =
            *std::max_element(v.begin() + static_cast<long>(from), v.begin() + static_cast<long>(to));
        const double half = (peak + background) / 2;
        size_t first = from;
        while (v[first] < half)
            ++first;
        size_t last = first;
        while (v[last + 1] >= half)
            ++last;
        const double nsPerPoint = figures::kSamplePeriodNs / e->Phases();
        EXPECT_NEAR(static_cast<double>(last - first + 1) * nsPerPoint, pulse, 0.05 * pulse + nsPerPoint);
        EXPECT_NEAR(static_cast<double>(first) * e->MetresPerPoint(kIndex), 1000.0, 1.0);
        EXPECT_LT(peak, 16383.0 * e->GroupsPerCycle()) << "unclipped";
    }
}

TEST_F(BoardPhysicsTest, InterleavedPhasesRebuildAnEdgeInTime) {
    Use("fibre 0.45 0.35 0.2 1.468\nconnector 0.2 0.3 -40");
    for (const double range : {0.5, 2.0, 16.0}) {
        SCOPED_TRACE(testing::Message() << range << " km");
        Acquisition a;
        a.rangeKm = range;
        a.pulseNs = 160.0f;
        a.attenuationDb = 10.0f;
        a.avgTime = 2;
        auto e = Run(a);
        const std::vector<double> v = Linear(*e, a.avgTime);
        // The edge lies where distance says when phase i's bin j is the time (j + i / P) periods; a phase
        // delayed the other way would scatter the edge over a whole period.
        const long edge = static_cast<long>(Point(*e, 0.2));
        const long phases = e->Phases();
        const double low = v[static_cast<size_t>(edge - phases - 2)],
                     high = v[static_cast<size_t>(edge + phases)];
        ASSERT_GT(high - low, 1000.0 * e->GroupsPerCycle());
        long first = edge - phases;
        while (v[static_cast<size_t>(first)] < (low + high) / 2)
            ++first;
        EXPECT_NEAR(first, edge, 1);
        for (long k = edge - phases; k < edge + phases; ++k)
            EXPECT_GE(v[static_cast<size_t>(k + 1)], v[static_cast<size_t>(k)] - 0.02 * (high - low)) << k;
    }
}

TEST_F(BoardPhysicsTest, StrongReflectionsClipFlatAndAttenuationScalesTheSignal) {
    Use("fibre 5 0.35 0.2 1.468\nend 5 -14");
    double backscatter[3] = {};
    for (const float att : {0.0f, 5.0f, 10.0f}) {
        SCOPED_TRACE(testing::Message() << att << " dB");
        Acquisition a;
        a.rangeKm = 8.0;
        a.pulseNs = 80.0f;
        a.attenuationDb = att;
        a.avgTime = 2;
        auto e = Run(a);
        const uint32_t full = figures::kAdcFullScale * static_cast<uint32_t>(e->GroupsPerCycle() * a.avgTime);
        const std::vector<uint32_t>& sums = e->Sums();
        const auto flatRun = [&](size_t from, size_t to) {
            size_t longest = 0, run = 0;
            for (size_t k = from; k < to; ++k) {
                EXPECT_LE(sums[k], full);
                run = sums[k] == full ? run + 1 : 0;
                longest = std::max(longest, run);
            }
            return longest;
        };
        const size_t pulsePoints = static_cast<size_t>(80.0 / (figures::kSamplePeriodNs / e->Phases()));
        EXPECT_GE(flatRun(0, Point(*e, 0.1)), pulsePoints - 1) << "the launch saturates the receiver";
        EXPECT_GE(flatRun(Point(*e, 4.9), Point(*e, 5.1)), pulsePoints - 1) << "the open end is flat-topped";

        const std::vector<double> v = Linear(*e, a.avgTime);
        for (size_t k = Point(*e, 1.5); k < Point(*e, 2.5); ++k)
            backscatter[static_cast<int>(att) / 5] += v[k];
    }
    EXPECT_NEAR(backscatter[0] / backscatter[1], std::pow(10.0, 0.5), 0.05);
    EXPECT_NEAR(backscatter[1] / backscatter[2], std::pow(10.0, 0.5), 0.05);
}

TEST_F(BoardPhysicsTest, NoiseFallsAsTheRootOfTheShotGroups) {
    Use("fibre 10 0.35 0.2 1.468");
    // 16 km reads its noise from the records, 32 km from beyond them.
    for (const double range : {16.0, 32.0}) {
        double sd[2] = {};
        int groups = 0;
        for (const int avg : {1, 16}) {
            SCOPED_TRACE(testing::Message() << range << " km, average " << avg);
            Acquisition a;
            a.rangeKm = range;
            a.avgTime = avg;
            auto e = Run(a);
            groups = e->GroupsPerCycle();
            double sum = 0.0, squares = 0.0;
            for (uint32_t k = e->DotNum(); k < e->DotNum() + e->OffsetDotNum(); ++k) {
                const double x = static_cast<double>(e->Sums()[k]) / avg;
                sum += x, squares += x * x;
            }
            const double mean = sum / e->OffsetDotNum();
            sd[avg == 16] = std::sqrt(squares / e->OffsetDotNum() - mean * mean);
            // The mean of the noise words carries the noise of all their conversions.
            EXPECT_NEAR(mean / groups, figures::kAdcOffset,
                        5 * figures::kNoiseCounts / std::sqrt(groups * avg * e->OffsetDotNum()));
            EXPECT_NEAR(sd[avg == 16], figures::kNoiseCounts * std::sqrt(groups / static_cast<double>(avg)),
                        0.1 * figures::kNoiseCounts * std::sqrt(groups / static_cast<double>(avg)));
        }
        EXPECT_NEAR(sd[0] / sd[1], 4.0, 0.4);
    }
}

TEST_F(BoardPhysicsTest, AMeasuringSectionSwitchedOffSeesOnlyTheDarkReceiver) {
    Acquisition a; // the built-in link, whose launch drives the receiver to full scale when lit
    a.avgTime = 2;
    a.sectionOn = false;
    // Off as the main panel's timer leaves it after a test: "POF1:" code 5.
    driver::MeasuringSectionOn();
    driver::MeasuringSectionOff();
    auto dark = Run(a);
    const double groups = dark->GroupsPerCycle() * a.avgTime;
    ASSERT_EQ(board.Records().front().shots, static_cast<uint32_t>(groups)) << "the shots were fired";
    const std::vector<uint32_t>& sums = dark->Sums();
    double mean = 0.0;
    uint32_t highest = 0;
    for (uint32_t k = 0; k < dark->DotNum(); ++k) {
        mean += sums[k];
        highest = std::max(highest, sums[k]);
    }
    mean /= dark->DotNum() * groups;
    EXPECT_NEAR(mean, figures::kAdcOffset, 5 * figures::kNoiseCounts / std::sqrt(dark->DotNum() * groups));
    EXPECT_LT(highest / groups, figures::kAdcOffset + 6 * figures::kNoiseCounts / std::sqrt(groups))
        << "no launch, no reflection: noise only";
    // Levels are of the mean cycle: its noise is that of the cycle's groups over the average time.
    const double cycleNoise = figures::kNoiseCounts * std::sqrt(groups) / a.avgTime;
    const std::vector<uint32_t> levels = dark->Levels();
    EXPECT_LT(*std::max_element(levels.begin(), levels.end()), 10000 * std::log10(6 * cycleNoise));

    // The test thread switches it on before every test: then the same settings see the fibre.
    a.sectionOn = true;
    auto lit = Run(a);
    EXPECT_EQ(lit->Sums()[Point(*lit, 0.01)], static_cast<uint32_t>(figures::kAdcFullScale * groups));
    EXPECT_GT(lit->Levels()[Point(*lit, 3.0)], 40000u);
}

TEST_F(BoardPhysicsTest, SumsStayWithin32BitsAtTheLargestSetting) {
    Use("fibre 12 0.35 0.2 1.468\nend 12 -14");
    Acquisition a;
    a.rangeKm = 128.0;
    a.pulseNs = 20480.0f;
    a.attenuationDb = 0.0f;
    a.avgTime = 310;
    auto e = Run(a);
    const uint32_t groups = static_cast<uint32_t>(e->GroupsPerCycle() * a.avgTime);
    ASSERT_LE(groups, simboard::AcquisitionBoard::kMaxShots);
    const uint32_t full = groups * figures::kAdcFullScale;
    const std::vector<uint32_t>& sums = e->Sums();
    EXPECT_EQ(sums[0], full) << "a saturated bin sums exactly, without wrapping";
    EXPECT_LE(*std::max_element(sums.begin(), sums.end()), full);
    const long saturated = std::count(sums.begin(), sums.begin() + 2000, full);
    EXPECT_GE(saturated, static_cast<long>(20480 / figures::kSamplePeriodNs))
        << "at least the pulse's length";
    EXPECT_NEAR(static_cast<double>(sums[e->DotNum() + 1000]) / groups, figures::kAdcOffset,
                5 * figures::kNoiseCounts / std::sqrt(groups));
}

TEST_F(BoardPhysicsTest, LevelsLandOnTheInstrumentsScale) {
    Acquisition a; // the built-in link at 16 km, 640 ns, 5 dB
    auto e = Run(a);
    const std::vector<uint32_t> levels = e->Levels();
    std::vector<uint32_t> start(levels.begin() + static_cast<long>(Point(*e, 0.3)),
                                levels.begin() + static_cast<long>(Point(*e, 0.6)));
    std::nth_element(start.begin(), start.begin() + static_cast<long>(start.size() / 2), start.end());
    const uint32_t startLevel = start[start.size() / 2];
    EXPECT_GE(startLevel, 40000u);
    EXPECT_LE(startLevel, 55000u);

    const uint32_t launch = *std::max_element(levels.begin(), levels.begin() + 100);
    const double clip =
        10000 * std::log10(e->GroupsPerCycle() * (figures::kAdcFullScale - figures::kAdcOffset));
    EXPECT_NEAR(launch, clip, 100);
    EXPECT_GT(launch, startLevel + 5000);

    double noise = 0.0;
    uint32_t noiseMax = 0;
    for (size_t k = Point(*e, 13.0); k < levels.size(); ++k) {
        noise += levels[k];
        noiseMax = std::max(noiseMax, levels[k]);
    }
    noise /= static_cast<double>(levels.size() - Point(*e, 13.0));
    EXPECT_LT(noise, 6000.0) << "below the analysis's noise threshold";
    EXPECT_LT(noiseMax, 20000u);
    const uint32_t end = *std::max_element(levels.begin() + static_cast<long>(Point(*e, 11.99)),
                                           levels.begin() + static_cast<long>(Point(*e, 12.1)));
    EXPECT_GT(end, levels[Point(*e, 11.9)] + 3000) << "the connector-terminated end reflects";
}

} // namespace
