#include "tools/otdrtool/MeasureCommand.h"
#include "tools/otdrtool/TraceCommands.h"

#include "shared/tracefile/TraceFile.h"

#include "tests/support/TempRoot.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace {

class MeasureCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::ifstream in(std::filesystem::path(DEVICE_DATA_DIR) / "languageEN.ini", std::ios::binary);
        english.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    int Measure(std::vector<std::string> args) {
        out.clear();
        err.clear();
        args.push_back("-o");
        args.push_back(Output());
        return RunMeasureCommand(args, english, out, err);
    }
    std::string Output() const { return (root.Path() / "out.st").string(); }
    std::string Stats() const { return (root.Path() / "stats.json").string(); }

    TempRoot root;
    std::vector<uint8_t> english;
    std::string out, err;
};

TEST_F(MeasureCommandTest, AveragingTestAtThirtyTwoKilometresCountsItsCalls) {
    ASSERT_EQ(Measure({"--fast", "--range", "32", "--pulse", "320", "--avg", "7", "--io-stats", Stats()}), 0)
        << err;
    const std::string stats = root.Read("stats.json");
    EXPECT_NE(stats.find("\"0x250\": 449"), std::string::npos) << stats;
    EXPECT_NE(stats.find("\"0x2D0\": 20002"), std::string::npos) << stats;
    EXPECT_NE(stats.find("\"fifo_reads\": 6096"), std::string::npos) << stats;
    // Section on 200, arm 5, 448 groups of 3, and 1 before the refresh.
    EXPECT_NE(stats.find("\"sleeps_ms\": 1550"), std::string::npos) << stats;
    tracefile::TraceFileContents contents;
    ASSERT_EQ(tracefile::ReadTraceFile(Output(), tracefile::ReaderVariant::Instrument, contents), 0);
    EXPECT_EQ(contents.samples.size(), 4096u);
    EXPECT_EQ(contents.block.range, 3200000);
    EXPECT_EQ(contents.block.m_iAvgTime, 700000);
}

TEST_F(MeasureCommandTest, RealTimeRunsItsHundredCyclesAndAutomaticChoosesARange) {
    ASSERT_EQ(
        Measure({"--fast", "--way", "realtime", "--range", "2", "--pulse", "80", "--io-stats", Stats()}), 0)
        << err;
    EXPECT_NE(root.Read("stats.json").find("\"0x280\": 100,"), std::string::npos);

    ASSERT_EQ(Measure({"--fast", "--way", "auto", "--avg", "3"}), 0) << err;
    tracefile::TraceFileContents contents;
    ASSERT_EQ(tracefile::ReadTraceFile(Output(), tracefile::ReaderVariant::Pc, contents), 0);
    EXPECT_EQ(contents.block.testWay, 2);
    // The default link is 12 km long: the automatic way settles on 16 km.
    EXPECT_EQ(contents.block.range, 1600000);
    EXPECT_EQ(contents.samples.size(), 16384u);
}

TEST_F(MeasureCommandTest, AnOptionGivenTwiceTakesTheLaterValue) {
    const std::string first = (root.Path() / "first.st").string();
    ASSERT_EQ(Measure({"--fast", "--range", "3", "--range", "32", "-o", first, "--threshold", "0.5"}), 0)
        << err;
    EXPECT_FALSE(std::filesystem::exists(first));
    tracefile::TraceFileContents contents;
    ASSERT_EQ(tracefile::ReadTraceFile(Output(), tracefile::ReaderVariant::Pc, contents), 0);
    EXPECT_EQ(contents.block.range, 3200000);
    EXPECT_EQ(contents.samples.size(), 4096u);
    EXPECT_EQ(out, Output() + ": 4096 samples\n");
    std::string analysed, analyseErr;
    ASSERT_EQ(RunAnalyseCommand({Output()}, analysed, analyseErr), 0);
    EXPECT_NE(analysed.find("range 32 km, wavelength 1310 nm, pulse width 320 ns, threshold 0.5 dB"),
              std::string::npos)
        << analysed;
}

TEST_F(MeasureCommandTest, RefusedSettingsPrintTheInstrumentsMessage) {
    EXPECT_EQ(Measure({"--fast", "--range", "8", "--pulse", "80", "--avg", "150"}), 2);
    EXPECT_NE(err.find("100"), std::string::npos) << err;
    EXPECT_EQ(err.find("flase"), std::string::npos);
    EXPECT_EQ(Measure({"--fast", "--refractive", "1.6"}), 2);
    EXPECT_FALSE(err.empty());
    EXPECT_FALSE(std::filesystem::exists(Output()));
    EXPECT_EQ(Measure({"--range", "3"}), 2);
    EXPECT_EQ(Measure({"--range", "8", "--pulse", "5120"}), 2);
    EXPECT_EQ(Measure({"--way", "slow"}), 2);
    EXPECT_EQ(Measure({"--verno", "2"}), 2);
    EXPECT_EQ(Measure({"--scenario", (root.Path() / "none.txt").string()}), 2);
    std::vector<std::string> noOutput = {"--fast"};
    EXPECT_EQ(RunMeasureCommand(noOutput, english, out, err), 2);
}

// Every shipped link measured at the default settings and analysed: the events each lists, by type and
// where the link has them; the analysis reads each a few tens of metres at most before its place.
TEST_F(MeasureCommandTest, EachShippedLinkMeasuresAndListsItsEvents) {
    struct Listed {
        const char* file;
        std::vector<std::pair<std::string, double>> events;
    };
    std::vector<std::pair<std::string, double>> many = {{"FusionEvent", 1.1}};
    for (int i = 0; i < 13; ++i)
        many.push_back({"JointEvent", 2.8 + 0.6 * i});
    many.push_back({"JointEvent", 10.6});
    const Listed links[] = {
        {"built-in.txt",
         {{"JointEvent", 1.3}, {"FusionEvent", 4.5}, {"JointEvent", 6.2}, {"JointEvent", 12.0}}},
        {"terminated-end.txt", {{"JointEvent", 2.5}, {"FusionEvent", 4.1}}},
        {"long-haul.txt", {{"JointEvent", 0.6}}},
        {"patch-link.txt", {{"JointEvent", 0.16}, {"JointEvent", 0.34}, {"JointEvent", 0.42}}},
        {"bend-1550.txt", {{"JointEvent", 1.2}, {"FusionEvent", 4.4}, {"JointEvent", 10.5}}},
        {"many-connectors.txt", many},
    };
    for (const Listed& link : links) {
        SCOPED_TRACE(link.file);
        const std::string scenario = (std::filesystem::path(SCENARIO_DIR) / link.file).string();
        ASSERT_EQ(Measure({"--fast", "--scenario", scenario}), 0) << err;
        std::string analysed, analyseErr;
        ASSERT_EQ(RunAnalyseCommand({Output()}, analysed, analyseErr), 0) << analyseErr;
        std::vector<std::pair<std::string, double>> found;
        std::istringstream lines(analysed);
        for (std::string line; std::getline(lines, line);) {
            std::istringstream row(line);
            int number = 0;
            std::string type;
            double km = 0.0;
            if (row >> number >> type >> km)
                found.push_back({type, km});
        }
        ASSERT_EQ(found.size(), link.events.size()) << analysed;
        for (size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].first, link.events[i].first) << analysed;
            EXPECT_LE(found[i].second, link.events[i].second) << analysed;
            EXPECT_GT(found[i].second, link.events[i].second - 0.06) << analysed;
        }
    }
}

} // namespace
