#include "tests/e2e/ProgramRun.h"
#include "tests/support/Lines.h"
#include "tests/support/TempRoot.h"

#include "shared/tracefile/TraceFile.h"

#include <QImage>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace {

bool Provision(const TempRoot& root) {
    return ProvisionRoot(root.Path()).exitCode == 0;
}

bool SetSetting(const TempRoot& root, const std::string& key, int value) {
    ProgramStart set;
    set.program = "otdrtool";
    set.workDir = root.Path();
    set.arguments = {"ini",   "setint", (root.Path() / "NandFlash" / "config.ini").string(),
                     "param", key,      std::to_string(value)};
    return RunProgram(set).exitCode == 0;
}

ProgramRun RunLumetra(const TempRoot& root, const std::string& script,
                      const std::map<std::string, std::string>& more = {}) {
    std::ofstream(root.Path() / "script.txt") << script;
    ProgramStart start;
    start.program = "Lumetra";
    start.arguments = {"--script", (root.Path() / "script.txt").string()};
    start.workDir = root.Path();
    start.environment = {{"LUMETRA_ROOT", root.Path().string()},
                         {"QT_QPA_PLATFORM", "offscreen"},
                         {"LUMETRA_LOCALE", "0409"},
                         {"LUMETRA_TEST_TIME", "fast"}};
    start.environment.insert(more.begin(), more.end());
    start.timeoutMs = 120000;
    return RunProgram(start);
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Measure {
    int way;        // 0 averaging, 1 real-time, 2 automatic
    int rangeIndex; // 0 = 0.5 km ... 8 = 128 km; the built-in link's first event lies at 1.3 km
    const char* name;
};

class MeasureRunTest : public ::testing::TestWithParam<Measure> {
protected:
    // A provisioned root whose settings hold the test way and range.
    void SetUp() override {
        ASSERT_TRUE(Provision(root));
        const Measure& m = GetParam();
        ASSERT_TRUE(SetSetting(root, "myTestWay", m.way));
        ASSERT_TRUE(SetSetting(root, "myRang", m.rangeIndex));
    }
    ProgramRun Run(const std::string& script) { return RunLumetra(root, script); }
    std::string Dump() const { return ReadText(root.Path() / "state.txt"); }

    TempRoot root;
};

TEST_P(MeasureRunTest, TheKeyTMeasuresDrawsTheTraceAndListsItsEvents) {
    const Measure& m = GetParam();
    // A real-time test runs until Escape is released; the others end by themselves.
    const std::string stop = m.way == 1 ? "wait 1500\nkeyup VK_ESCAPE\n" : "";
    const ProgramRun run =
        Run("wait 200\nkey T\n" + stop + "wait-test\nwait 100\nshot " + (root.Path() / "after.png").string() +
            "\ndump " + (root.Path() / "state.txt").string() + "\nsave " +
            (root.Path() / "test.st").string() + "\nquit\n");
    ASSERT_EQ(run.exitCode, 18) << run.errors;
    const std::string state = Dump();
    const char* names[] = {"Averaging", "Real-time", "Automatic"};
    // The status names the test, or, after an automatic test, the range and pulse it chose.
    if (m.way == 2)
        EXPECT_NE(state.find(" km "), std::string::npos) << state;
    else
        EXPECT_NE(state.find(std::string("status: Test: ") + names[m.way] + " 1310 nm"), std::string::npos)
            << state;
    EXPECT_EQ(state.find("samples: 0\n"), std::string::npos) << state;
    EXPECT_EQ(state.find("events: 0\n"), std::string::npos) << state;
    EXPECT_NE(state.find("row:    0"), std::string::npos) << state;

    tracefile::TraceFileContents saved;
    ASSERT_EQ(tracefile::ReadTraceFile(root.Path() / "test.st", tracefile::ReaderVariant::Instrument, saved),
              0);
    EXPECT_GT(saved.samples.size(), 1000u);

    // The trace is drawn: blue pixels in the plot under the status bar.
    const QImage shot(QString::fromStdString((root.Path() / "after.png").string()));
    ASSERT_FALSE(shot.isNull());
    int blue = 0;
    for (int y = 25; y < 175; ++y)
        for (int x = 0; x < 320; ++x)
            blue += shot.pixelColor(x, y) == QColor(0, 0, 255);
    EXPECT_GT(blue, 100);
}

INSTANTIATE_TEST_SUITE_P(WaysAndRanges, MeasureRunTest,
                         ::testing::Values(Measure{0, 3, "Averaging_4km"}, Measure{0, 5, "Averaging_16km"},
                                           Measure{1, 3, "Realtime_4km"}, Measure{1, 7, "Realtime_64km"},
                                           Measure{2, 3, "Automatic_from_4km"},
                                           Measure{2, 8, "Automatic_from_128km"}),
                         [](const auto& info) { return std::string(info.param.name); });

// With the delivered settings (16 km, 320 ns) the quick test lists the built-in link's connectors, its
// splice and its open end, each a few metres before where the fibre has it, as the analysis places
// events. The shipped links land in the root's "scenarios" folder; one copied to "scenario.txt" or
// named by LUMETRA_SCENARIO is the fibre the key T measures.
TEST(ShippedScenarioRunTest, AScenarioChosenFromTheProvisionedOnesIsWhatTheQuickTestMeasures) {
    TempRoot root;
    ASSERT_TRUE(Provision(root));
    const std::string script =
        "wait 200\nkey T\nwait-test\nwait 100\ndump " + (root.Path() / "state.txt").string() + "\nquit\n";
    ASSERT_EQ(RunLumetra(root, script).exitCode, 18);
    const std::string builtIn = ReadText(root.Path() / "state.txt");
    EXPECT_NE(builtIn.find("range: 16 km\n"), std::string::npos) << builtIn;
    std::vector<double> distances;
    for (const std::string& line : Lines(builtIn)) {
        std::istringstream row(line);
        std::string tag;
        int number = 0;
        double km = 0.0;
        if (row >> tag >> number >> km && tag == "row:")
            distances.push_back(km);
    }
    const double fibre[] = {1.3, 4.5, 6.2, 12.0};
    ASSERT_EQ(distances.size(), std::size(fibre)) << builtIn;
    for (size_t i = 0; i < distances.size(); ++i) {
        EXPECT_LE(distances[i], fibre[i]) << builtIn;
        EXPECT_GT(distances[i], fibre[i] - 0.04) << builtIn;
    }

    std::filesystem::copy_file(root.Path() / "scenarios" / "many-connectors.txt",
                               root.Path() / "scenario.txt");
    ASSERT_EQ(RunLumetra(root, script).exitCode, 18);
    const std::string many = ReadText(root.Path() / "state.txt");
    EXPECT_NE(many.find("events: 15\n"), std::string::npos) << many;

    // The variable wins over the root's file.
    ASSERT_EQ(RunLumetra(root, script,
                         {{"LUMETRA_SCENARIO", (root.Path() / "scenarios" / "bend-1550.txt").string()}})
                  .exitCode,
              18);
    const std::string bend = ReadText(root.Path() / "state.txt");
    EXPECT_NE(bend.find("events: 3\n"), std::string::npos) << bend;
}

} // namespace
