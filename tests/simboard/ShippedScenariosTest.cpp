#include "simboard/Optics.h"
#include "simboard/Scenario.h"
#include "simboard/SimBoard.h"

#include "shared/analysis/EventTable.h"
#include "tests/simboard/AveragingRun.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

using analysis::NonReflective;
using analysis::Reflective;

// An event the analysis lists: its type and where the scenario puts it.
struct Expected {
    int32_t type;
    double km;
};

struct Case {
    const char* name;
    const char* file;
    Acquisition settings;
    std::vector<Expected> events;
};

Acquisition Settings(double rangeKm, int wavelength, float pulseNs, float attenuationDb, int avgTime) {
    Acquisition a;
    a.rangeKm = rangeKm;
    a.wavelength = wavelength;
    a.pulseNs = pulseNs;
    a.attenuationDb = attenuationDb;
    a.avgTime = avgTime;
    return a;
}

// The instrument's default settings: 16 km, 320 ns, 5 dB, average 7.
Acquisition Default(int wavelength) {
    return Settings(16.0, wavelength, 320.0f, 5.0f, 7);
}

std::filesystem::path Shipped(const std::string& file) {
    return std::filesystem::path(SCENARIO_DIR) / file;
}

std::vector<Expected> ManyConnectors() {
    std::vector<Expected> events = {{NonReflective, 1.1}};
    for (int i = 0; i < 13; ++i)
        events.push_back({Reflective, 2.8 + 0.6 * i});
    events.push_back({Reflective, 10.6});
    return events;
}

const Case kCases[] = {
    // The quick test lists the connectors, the splice and the open end; at 1550 nm the noise of the
    // default average hides the splice, a longer pulse and average show the bend as well.
    {"BuiltInAtTheDefaults",
     "built-in.txt",
     Default(1310),
     {{Reflective, 1.3}, {NonReflective, 4.5}, {Reflective, 6.2}, {Reflective, 12.0}}},
    {"BuiltInAtTheDefaultsAt1550",
     "built-in.txt",
     Default(1550),
     {{Reflective, 1.3}, {Reflective, 6.2}, {Reflective, 12.0}}},
    {"BuiltInAt640nsAt1550",
     "built-in.txt",
     Settings(16, 1550, 640, 5, 30),
     {{Reflective, 1.3}, {NonReflective, 4.5}, {Reflective, 6.2}, {NonReflective, 9.4}, {Reflective, 12.0}}},
    // The earlier built-in link: the splices merge into the first, the terminated end is not listed.
    {"TerminatedEnd", "terminated-end.txt", Settings(16, 1310, 640, 5, 30), {{Reflective, 2.5}}},
    {"TerminatedEndAt1550",
     "terminated-end.txt",
     Settings(16, 1550, 640, 5, 30),
     {{Reflective, 2.5}, {NonReflective, 4.1}}},
    // The poor splices and the repeater hut's panel; the first poor splice's loss is measured over its
    // own ramp and stays below the threshold, the exchange's panel lies in the saturated start.
    {"LongHaul",
     "long-haul.txt",
     Settings(128, 1550, 5120, 0, 310),
     {{NonReflective, 36.0},
      {Reflective, 46.1},
      {NonReflective, 56.2},
      {NonReflective, 76.0},
      {NonReflective, 90.5},
      {Reflective, 95.8}}},
    {"LongHaulAtTheDefaults", "long-haul.txt", Default(1310), {{Reflective, 0.6}}},
    {"PatchLink",
     "patch-link.txt",
     Settings(0.5, 1310, 10, 5, 30),
     {{Reflective, 0.06}, {Reflective, 0.16}, {Reflective, 0.34}, {Reflective, 0.42}}},
    {"PatchLinkAtTheDefaults",
     "patch-link.txt",
     Default(1310),
     {{Reflective, 0.16}, {Reflective, 0.34}, {Reflective, 0.42}}},
    {"BendAt1310",
     "bend-1550.txt",
     Settings(16, 1310, 640, 5, 30),
     {{Reflective, 1.2}, {NonReflective, 4.4}, {Reflective, 10.5}}},
    {"BendAt1550",
     "bend-1550.txt",
     Settings(16, 1550, 640, 5, 30),
     {{Reflective, 1.2}, {NonReflective, 4.4}, {NonReflective, 7.6}, {Reflective, 10.5}}},
    {"BendAtTheDefaults",
     "bend-1550.txt",
     Default(1310),
     {{Reflective, 1.2}, {NonReflective, 4.4}, {Reflective, 10.5}}},
    {"ManyConnectors", "many-connectors.txt", Default(1310), ManyConnectors()},
};

class ShippedScenariosTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        simboard::RegisterSimulatedBoard();
        board.Reset();
    }
    simboard::SimBoard& board = simboard::SimBoard::Instance();
};

TEST_P(ShippedScenariosTest, AnalysisListsTheEventsWhereTheScenarioPutsThem) {
    const Case& c = GetParam();
    simboard::Scenario scenario;
    std::string error;
    ASSERT_TRUE(simboard::LoadScenario(Shipped(c.file), scenario, error)) << error;
    ASSERT_TRUE(board.SetScenario(scenario, error)) << error;
    const Acquisition& a = c.settings;
    AveragingRun run(a);
    run.Configure();
    run.Run();
    const std::vector<uint32_t> levels = run.Levels();
    analysis::EventTable table;
    table.AnalyseTrace(levels, static_cast<float>(a.rangeKm), static_cast<float>(a.wavelength), a.pulseNs,
                       0.1f, static_cast<int32_t>(a.attenuationDb * 100000));

    // Sample k is the time k / P periods after the pulse left; the fibre's index turns that into km.
    const simboard::FibreSection& fibre = scenario.fibres.front();
    const double index = a.wavelength == 1310 ? fibre.index1310 : fibre.index1550;
    const double samplesPerKm = 1000.0 * index / simboard::figures::kMetresPerPeriodIndex * run.Phases();
    // The analysis places an event within a few windows: at the foot of a reflection, after a loss's
    // ramp, and at the end up to the 2W its scan looks ahead.
    const double tolerance = std::max(3.0 * table.Window(), 24.0);

    std::string found;
    for (const analysis::EventRecord& e : table.Events())
        found += (e.type == Reflective ? " R" : " N") + std::to_string(e.position);
    ASSERT_EQ(table.GetEventCount(), static_cast<int>(c.events.size())) << "found:" << found;
    int i = 0;
    for (const analysis::EventRecord& e : table.Events()) {
        const Expected& expected = c.events[static_cast<size_t>(i++)];
        SCOPED_TRACE(testing::Message() << "event " << i << " at " << expected.km << " km; found:" << found);
        EXPECT_EQ(e.type, expected.type);
        EXPECT_NEAR(e.position, expected.km * samplesPerKm, tolerance);
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedScenariosTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ShippedScenarioFiles, AllReadAndTheBuiltInOneIsTheBuiltInLink) {
    std::set<std::string> pinned;
    for (const Case& c : kCases)
        pinned.insert(c.file);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SCENARIO_DIR)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        simboard::Scenario scenario;
        std::string error;
        EXPECT_TRUE(simboard::LoadScenario(entry.path(), scenario, error)) << error;
        EXPECT_TRUE(pinned.count(name)) << "what the analysis finds on it is pinned above";
        if (name == "built-in.txt") {
            EXPECT_EQ(scenario, simboard::DefaultScenario());
        }
        ++files;
    }
    EXPECT_EQ(files, static_cast<int>(pinned.size()));
}

} // namespace
