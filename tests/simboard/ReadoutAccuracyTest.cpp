// Distances read off a measured trace, at every range and two group indexes: the leading edge of every
// reflection the range reaches reads the scenario's distance within one sample (a sample and the
// receiver's rise where the rise is longer), and the event analysis reports each reflective event it
// finds before it.
#include "simboard/Optics.h"
#include "simboard/Scenario.h"
#include "simboard/SimBoard.h"

#include "shared/analysis/EventTable.h"
#include "shared/tracefile/RangeGeometry.h"
#include "tests/simboard/AveragingRun.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Case {
    const char* name;
    const char* file;
    double rangeKm;
    float pulseNs;
    float attenuationDb;
    int avgTime;
};

// Each range with a shipped link it reaches into, and a pulse at least as long as the smoothing, whose
// rise is then the smoothed step itself.
const Case kCases[] = {
    {"Range0_5km", "patch-link.txt", 0.5, 80, 5, 30},   {"Range1km", "patch-link.txt", 1, 80, 5, 30},
    {"Range2km", "built-in.txt", 2, 80, 5, 30},         {"Range4km", "built-in.txt", 4, 80, 5, 30},
    {"Range8km", "built-in.txt", 8, 80, 5, 30},         {"Range16km", "built-in.txt", 16, 320, 5, 7},
    {"Range32km", "built-in.txt", 32, 1280, 5, 30},     {"Range64km", "long-haul.txt", 64, 1280, 0, 100},
    {"Range128km", "long-haul.txt", 128, 5120, 0, 310},
};

// The fibre's own group index and another one, each set on the instrument as the fibre has it.
const double kIndexes[] = {1.4680, 1.4920};

// The engine's smoothing spreads a step this many samples to each side.
constexpr double kSmoothingReach = 6.0;

class ReadoutAccuracyTest : public ::testing::TestWithParam<std::tuple<Case, double>> {
protected:
    void SetUp() override {
        simboard::RegisterSimulatedBoard();
        board.Reset();
    }
    simboard::SimBoard& board = simboard::SimBoard::Instance();
};

// Where the trace's rise at a reflection crosses half way from the backscatter before it to its top, on
// the linear scale: the smoothing is symmetric, so it leaves that point where the light returned.
double LeadingEdge(const std::vector<double>& linear, double expected, double pulseSamples) {
    const int at = static_cast<int>(std::lround(expected));
    const int quiet = static_cast<int>(kSmoothingReach) + 3;
    const int from = std::max(1, at - quiet - 12);
    double before = 0.0;
    for (int k = from; k < at - quiet; ++k)
        before += linear[static_cast<size_t>(k)];
    before /= at - quiet - from;
    const int last =
        std::min(static_cast<int>(linear.size()) - 1, at + quiet + static_cast<int>(pulseSamples));
    const double top = *std::max_element(linear.begin() + at - quiet, linear.begin() + last + 1);
    const double half = (before + top) / 2.0;
    for (int k = at - quiet; k <= last; ++k) {
        const double v = linear[static_cast<size_t>(k)];
        if (v >= half) {
            const double prev = linear[static_cast<size_t>(k - 1)];
            return k - 1 + (half - prev) / (v - prev);
        }
    }
    return -1.0;
}

TEST_P(ReadoutAccuracyTest, ReflectionsReadTheirDistance) {
    const auto& [c, index] = GetParam();
    simboard::Scenario scenario;
    std::string error;
    ASSERT_TRUE(simboard::LoadScenario(std::filesystem::path(SCENARIO_DIR) / c.file, scenario, error))
        << error;
    for (simboard::FibreSection& f : scenario.fibres)
        f.index1310 = f.index1550 = index;
    ASSERT_TRUE(board.SetScenario(scenario, error)) << error;

    Acquisition a;
    a.rangeKm = c.rangeKm;
    a.wavelength = 1550;
    a.pulseNs = c.pulseNs;
    a.attenuationDb = c.attenuationDb;
    a.avgTime = c.avgTime;
    AveragingRun run(a);
    run.Configure();
    run.Run();
    const std::vector<uint32_t> levels = run.Levels();
    std::vector<double> linear;
    for (uint32_t level : levels)
        linear.push_back(std::pow(10.0, level / 10000.0));

    const double kmPerSample = tracefile::KilometresPerSample(static_cast<float>(c.rangeKm), index, 1.0);
    ASSERT_GT(kmPerSample, 0.0);
    const auto kmOfNs = [index](double ns) { return ns * 0.1 * 1.5 / index / 1000.0; };
    const double pulseSamples = kmOfNs(c.pulseNs) / kmPerSample;
    // Where the receiver's rise spans more than a sample (0.5 and 1 km), a reflection that overloads it
    // reaches full scale up to a rise early.
    const double rise =
        kmOfNs(c.rangeKm > 16 ? simboard::figures::kRiseLongNs : simboard::figures::kRiseShortNs);
    const double tolerance = rise > kmPerSample ? kmPerSample + rise : kmPerSample;
    const double margin = kSmoothingReach + pulseSamples + 20.0;

    std::vector<double> reflections;
    for (const simboard::LinkEvent& e : scenario.events)
        if (e.kind == simboard::EventKind::Connector)
            reflections.push_back(e.km);
    reflections.push_back(scenario.EndKm());

    int read = 0;
    for (double km : reflections) {
        const double expected = km / kmPerSample;
        if (expected < margin || expected + margin > static_cast<double>(linear.size()))
            continue;
        SCOPED_TRACE(testing::Message() << "reflection at " << km << " km, sample " << expected);
        const double edge = LeadingEdge(linear, expected, pulseSamples);
        EXPECT_NEAR(edge * kmPerSample, km, tolerance);
        ++read;
    }
    EXPECT_GT(read, 0);

    // The analysis places a reflective event at the foot of the smoothed rise, most often 7 to 10 samples
    // before it, with the noise a window earlier, and an end up to the two windows its scan looks ahead.
    analysis::EventTable table;
    table.AnalyseTrace(levels, static_cast<float>(a.rangeKm), static_cast<float>(a.wavelength), a.pulseNs,
                       0.1f, static_cast<int32_t>(a.attenuationDb * 100000));
    for (const analysis::EventRecord& e : table.Events()) {
        if (e.type != analysis::Reflective)
            continue;
        const double km = e.position * kmPerSample;
        const auto nearest =
            std::min_element(reflections.begin(), reflections.end(),
                             [km](double x, double y) { return std::abs(x - km) < std::abs(y - km); });
        const double lead = *nearest / kmPerSample - e.position;
        SCOPED_TRACE(testing::Message() << "reflective event at sample " << e.position
                                        << ", nearest reflection " << *nearest << " km");
        EXPECT_GE(lead, 0.0);
        EXPECT_LE(lead, 2.0 * table.Window() + 2.0 * kSmoothingReach);
    }
}

INSTANTIATE_TEST_SUITE_P(Ranges, ReadoutAccuracyTest,
                         ::testing::Combine(::testing::ValuesIn(kCases), ::testing::ValuesIn(kIndexes)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) < 1.47 ? "_FibreIndex" : "_OtherIndex");
                         });

} // namespace
