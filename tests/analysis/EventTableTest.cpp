#include "shared/analysis/EventTable.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

// A hand-made trace: a clipped launch, a backscatter slope, and events drawn over W samples as a pulse
// of that width draws them.
class Trace {
public:
    Trace(size_t count, uint32_t window, double start = 45000, double slope = -0.3)
        : levels_(count), window_(window) {
        for (size_t k = 0; k < count; ++k)
            levels_[k] = start + slope * static_cast<double>(k);
        for (size_t k = 0; k < 30 && k < count; ++k)
            levels_[k] = 70000;
    }
    Trace& Step(size_t at, double drop) {
        for (size_t k = at; k < levels_.size(); ++k)
            levels_[k] -= drop * std::min(1.0, static_cast<double>(k - at + 1) / window_);
        return *this;
    }
    Trace& Spike(size_t at, double height) {
        for (size_t k = at; k < at + window_ && k < levels_.size(); ++k)
            levels_[k] += height;
        return *this;
    }
    // A clipped end reflection, then the noise floor.
    Trace& End(size_t at) {
        for (size_t k = at; k < levels_.size(); ++k)
            levels_[k] = k < at + window_ ? 70000 : 3000;
        return *this;
    }
    std::vector<uint32_t> Samples(double noise = 4, unsigned seed = 7) const {
        std::mt19937 random(seed);
        std::normal_distribution<double> jitter(0, noise);
        std::vector<uint32_t> out(levels_.size());
        for (size_t k = 0; k < out.size(); ++k)
            out[k] = static_cast<uint32_t>(std::max(0.0, levels_[k] + (noise > 0 ? jitter(random) : 0.0)));
        return out;
    }

private:
    std::vector<double> levels_;
    double window_;
};

std::vector<analysis::EventRecord> Analyse(analysis::EventTable& table, const std::vector<uint32_t>& v,
                                           float range, float pulse, float threshold = 0.1f,
                                           float wavelength = 1310) {
    table.AnalyseTrace(v, range, wavelength, pulse, threshold, 500000);
    return {table.Events().begin(), table.Events().end()};
}

bool Near(const analysis::EventRecord& event, uint32_t position, uint32_t tolerance) {
    return event.position + tolerance >= position && event.position <= position + tolerance;
}

TEST(FitLineTest, FitsLinesAndTruncatesDeviations) {
    std::vector<uint32_t> v(100);
    for (uint32_t x = 0; x < v.size(); ++x)
        v[x] = 1000 + 3 * x;
    analysis::Line line = analysis::FitLine(v, 10, 3);
    EXPECT_FLOAT_EQ(line.slope, 3.0f);
    EXPECT_FLOAT_EQ(line.intercept, 1000.0f);
    line = analysis::FitLine(v, 0, 99);
    EXPECT_FLOAT_EQ(line.slope, 3.0f);
    // An even count drops the half-sample deviations from the denominator only: the slope comes out high.
    EXPECT_GT(analysis::FitLine(v, 0, 100).slope, 3.05f);
    // Two samples: the half-sample deviations truncate to 0, so the slope is 0 and the line the mean.
    line = analysis::FitLine(v, 20, 2);
    EXPECT_EQ(line.slope, 0.0f);
    EXPECT_FLOAT_EQ(line.intercept, 1061.5f);
    line = analysis::FitLine(v, 20, 0);
    EXPECT_EQ(line.slope, 0.0f);
    EXPECT_EQ(line.intercept, 0.0f);
    // Past the end the fit takes what is there.
    line = analysis::FitLine(v, 97, 50);
    EXPECT_FLOAT_EQ(line.slope, 3.0f);
}

TEST(MeasureSpliceLossTest, TwoLinesAtTheEventAndNothingAboveFourDecibels) {
    std::vector<uint32_t> v(400);
    for (uint32_t x = 0; x < v.size(); ++x)
        v[x] = 40000 - x - (x >= 200 ? 1000 : 0);
    EXPECT_NEAR(analysis::MeasureSpliceLoss(v, {51, 200, 251, 390}), 0.5f, 1e-3f);
    for (uint32_t x = 200; x < v.size(); ++x)
        v[x] -= 8000;
    EXPECT_EQ(analysis::MeasureSpliceLoss(v, {50, 200, 250, 390}), 0.0f);
    EXPECT_EQ(analysis::MeasureSpliceLoss(v, {200, 200, 250, 390}), 0.0f);
    EXPECT_EQ(analysis::MeasureSpliceLoss(v, {50, 200, 390, 390}), 0.0f);
}

TEST(EventTableTest, WindowFromRangeAndPulseNeverZero) {
    analysis::EventTable table;
    const std::vector<uint32_t> flat(16384, 20000);
    const struct {
        float range, pulse;
        uint32_t window;
    } cases[] = {{0.5f, 10, 5}, {4, 160, 32},      {64, 10, 1}, {32, 10, 1},
                 {16, 320, 32}, {128, 20480, 256}, {1, 80, 40}};
    for (const auto& c : cases) {
        table.AnalyseTrace(flat, c.range, 1550, c.pulse, 0.1f, 0);
        EXPECT_EQ(table.Window(), c.window) << c.range << " km " << c.pulse << " ns";
    }
    // A range the instrument never uses keeps the window of the run before.
    table.AnalyseTrace(flat, 3, 1550, 640, 0.1f, 0);
    EXPECT_EQ(table.Window(), 40u);
}

TEST(EventTableTest, ShortTracesGiveAnEmptyTable) {
    analysis::EventTable table;
    for (const size_t count : {0u, 1u, 65u, 129u}) {
        const std::vector<uint32_t> v(count, 50000);
        table.AnalyseTrace(v, 4, 1310, 160, 0.1f, 500000); // W = 32 needs 130 samples
        EXPECT_EQ(table.GetEventCount(), 0) << count;
    }
    analysis::EventRecord event;
    EXPECT_EQ(table.GetEvent(0, event), -1);
    EXPECT_EQ(table.GetEvent(-1, event), -1);
    EXPECT_EQ(table.CumulativeLoss(std::vector<uint32_t>(10, 1), 3), 0.0f);
}

TEST(EventTableTest, WithoutAReturnToTheLaunchLevelTheScanEndsWhereTheLevelFallsBelow6000) {
    // 8 km, 80 ns: W = 16. The level drops to the floor at 10000 without a reflection.
    std::vector<uint32_t> v = Trace(16384, 16, 40000, -0.25).Samples(0);
    for (size_t k = 10000; k < v.size(); ++k)
        v[k] = 3000;
    analysis::EventTable table;
    const auto events = Analyse(table, v, 8, 80);
    EXPECT_TRUE(events.empty());
    // The first i whose sample 2W - 1 ahead is below 6000.
    EXPECT_EQ(table.End(), 10000u - 2 * 16 + 1);
}

TEST(EventTableTest, FindsConnectorSplicesAndTheEnd) {
    // 16 km, 160 ns: W = 16, Q = 1024.
    const std::vector<uint32_t> v = Trace(16384, 16)
                                        .Spike(1500, 15000)
                                        .Step(1500, 800)
                                        .Step(5000, 600)
                                        .Step(9000, 700)
                                        .End(12000)
                                        .Samples();
    analysis::EventTable table;
    const auto events = Analyse(table, v, 16, 160);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].type, analysis::Reflective);
    EXPECT_TRUE(Near(events[0], 1500, 32)); // the foot of the rising edge, within two windows
    EXPECT_EQ(events[1].type, analysis::NonReflective);
    EXPECT_TRUE(Near(events[1], 5000, 32));
    EXPECT_NEAR(events[1].loss, 0.3f, 0.05f);
    EXPECT_EQ(events[2].type, analysis::NonReflective);
    EXPECT_TRUE(Near(events[2], 9000, 32));
    EXPECT_NEAR(events[2].loss, 0.35f, 0.05f);
    EXPECT_EQ(events[3].type, analysis::Reflective);
    EXPECT_TRUE(Near(events[3], 12000, 16));
    EXPECT_TRUE(Near({table.End(), 0, 0}, 12000, 16));
    // The cumulative loss grows along the fibre.
    EXPECT_LT(table.CumulativeLoss(v, events[1].position), table.CumulativeLoss(v, events[2].position));
}

TEST(EventTableTest, CloseSplicesMergeIntoTheEarlierUnlessItIsTheFirstEvent) {
    const std::vector<uint32_t> close = Trace(16384, 16)
                                            .Spike(1000, 15000)
                                            .Step(1000, 800)
                                            .Step(5000, 600)
                                            .Step(6500, 600)
                                            .End(12000)
                                            .Samples();
    analysis::EventTable table;
    auto events = Analyse(table, close, 16, 160);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_TRUE(Near(events[1], 5000, 32));
    EXPECT_EQ(events[1].type, analysis::NonReflective);
    EXPECT_TRUE(Near(events[2], 12000, 16));
}

TEST(EventTableTest, ReflectionsInsideTheDeadZoneOfAnEarlierOneAreDropped) {
    // 8 km, 80 ns: W = 16 and, for a long trace, g = 10: 160 samples.
    analysis::EventTable table;
    const auto apart =
        Analyse(table, Trace(16384, 16).Spike(6000, 15000).Spike(6300, 15000).End(13000).Samples(), 8, 80);
    const auto close =
        Analyse(table, Trace(16384, 16).Spike(6000, 15000).Spike(6100, 15000).End(13000).Samples(), 8, 80);
    const auto reflective = [](const std::vector<analysis::EventRecord>& events) {
        std::vector<uint32_t> positions;
        for (const analysis::EventRecord& e : events)
            if (e.type == analysis::Reflective)
                positions.push_back(e.position);
        return positions;
    };
    ASSERT_EQ(reflective(apart).size(), 3u);
    ASSERT_EQ(reflective(close).size(), 2u);
    EXPECT_TRUE(Near({reflective(close)[0], 0, 0}, 6000, 16));
}

TEST(EventTableTest, ASpliceMustLoseMoreThanTheThreshold) {
    const std::vector<uint32_t> v =
        Trace(16384, 16).Spike(1500, 15000).Step(1500, 800).Step(6000, 500).End(12000).Samples();
    analysis::EventTable table;
    const auto events = Analyse(table, v, 16, 160);
    ASSERT_EQ(events.size(), 3u);
    const float loss = events[1].loss;
    ASSERT_GT(loss, 0.0f);
    EXPECT_EQ(Analyse(table, v, 16, 160, loss).size(), 2u);
    EXPECT_EQ(Analyse(table, v, 16, 160, std::nextafter(loss, 0.0f)).size(), 3u);
}

TEST(EventTableTest, AnyInputStaysInsideTheTrace) {
    std::mt19937 random(3);
    analysis::EventTable table;
    for (int round = 0; round < 200; ++round) {
        std::vector<uint32_t> v(random() % 3000);
        for (uint32_t& sample : v)
            sample = round % 2 ? random() : 30000 + random() % 40000;
        const float ranges[] = {0.5f, 1, 2, 4, 8, 16, 32, 64, 128};
        const float pulses[] = {10, 80, 160, 320, 640, 1280, 5120, 10240, 20480, 3, 100000};
        table.AnalyseTrace(v, ranges[random() % 9], random() % 2 ? 1310 : 1550, pulses[random() % 11], 0.01f,
                           static_cast<int32_t>(random() % 3000000) - 500000);
        uint32_t previous = 0;
        for (const analysis::EventRecord& e : table.Events()) {
            EXPECT_LT(e.position, v.size());
            EXPECT_GE(e.position, previous);
            EXPECT_GE(e.loss, 0.0f);
            EXPECT_LE(e.loss, 4.0f);
            previous = e.position;
        }
    }
}

} // namespace
