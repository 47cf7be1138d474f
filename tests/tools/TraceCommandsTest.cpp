#include "tools/otdrtool/TraceCommands.h"

#include "shared/analysis/EventTable.h"
#include "shared/tracefile/TraceFile.h"

#include "tests/support/FifoTrap.h"
#include "tests/support/Lines.h"
#include "tests/support/TempRoot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <sstream>

namespace {

// 2 km at 1310 nm, 10 ns: 4096 samples of 0.0005 km (index 1.5, cable ratio 1). The wavelength and
// pulse words carry fractions the PC reading drops; attenuation and average time are negative, which
// the PC accepts and the info line must print signed.
tracefile::ParameterBlock TwoKmBlock() {
    tracefile::ParameterBlock block;
    block.range = 200000;
    block.m_iWaveLen = 131050000;
    block.m_iPulseWidth = 1050000;
    block.m_iAttenuation = -99999;
    block.m_iAvgTime = -5;
    block.m_fRefractive = 150000;
    block.m_fCableRatio = 100000;
    block.m_fEventThreshold = 20000;
    block.testWay = 2;
    return block;
}

std::vector<uint32_t> Falling(size_t count, uint32_t top, uint32_t step) {
    std::vector<uint32_t> samples(count);
    for (size_t k = 0; k < count; ++k)
        samples[k] = top - static_cast<uint32_t>(k) * step;
    return samples;
}

std::string WriteTrace(const TempRoot& root, const std::string& name, const std::vector<uint32_t>& samples,
                       const tracefile::ParameterBlock& block) {
    const std::filesystem::path file = root.Path() / name;
    EXPECT_EQ(tracefile::WriteTraceFile(file, samples, block), 1);
    return file.string();
}

// 0.5 km at 1550 nm, 10 ns, threshold 0.2 dB, index 1.468.
tracefile::ParameterBlock HalfKmBlock() {
    tracefile::ParameterBlock block = TwoKmBlock();
    block.range = 50000;
    block.m_iWaveLen = 155000000;
    block.m_iPulseWidth = 1000000;
    block.m_iAttenuation = 0;
    block.m_fRefractive = 146800;
    return block;
}

constexpr double kHalfKmPerSample = 0.5 / 2560 * 1.5 / 1.468;

// A launch pulse, a falling fibre with a reflective spike near 400, a 0.3 dB splice at 1400 and the
// fibre end reflecting at 2200, then noise.
std::vector<uint32_t> SyntheticHalfKm() {
    std::vector<uint32_t> v(2560);
    for (uint32_t k = 0; k < v.size(); ++k) {
        uint32_t x = 3000;
        if (k < 5)
            x = 50000 + 2000 * k;
        else if (k < 20)
            x = 60000;
        else if (k < 2200)
            x = 40000 - k / 10;
        else if (k < 2240)
            x = 62000;
        if (k >= 400 && k < 420)
            x += 8000;
        if (k >= 1400 && k < 2200)
            x -= 30 * std::min(k - 1400, 20u);
        v[k] = x;
    }
    return v;
}

// One line of "analyse --json", read back into the table's terms.
struct AnalysisLine {
    unsigned window = 0;
    unsigned end = 0;
    std::vector<analysis::EventRecord> events;
    std::vector<double> distances;
};

bool ParseAnalysisLine(const std::string& line, AnalysisLine& parsed) {
    int used = 0;
    if (std::sscanf(line.c_str(), "{\"window\": %u, \"end\": %u, \"events\": [%n", &parsed.window,
                    &parsed.end, &used) != 2 ||
        used == 0)
        return false;
    const char* p = line.c_str() + used;
    while (*p == '{') {
        analysis::EventRecord e;
        double distance = 0.0;
        int length = 0;
        if (std::sscanf(p, "{\"position\": %u, \"type\": %d, \"loss\": %f, \"distance_km\": %lf}%n",
                        &e.position, &e.type, &e.loss, &distance, &length) != 4 ||
            length == 0)
            return false;
        parsed.events.push_back(e);
        parsed.distances.push_back(distance);
        p += length;
        if (std::strncmp(p, ", {", 3) == 0)
            p += 2;
    }
    return std::strcmp(p, "]}") == 0;
}

// The JSON must carry exactly what the analysis left in the table, distances from the file's geometry.
void ExpectFaithful(const std::string& line, const std::vector<uint32_t>& samples, float range,
                    float wavelength, float pulse, float threshold, int32_t attenuation, double kmPerSample) {
    analysis::EventTable table;
    table.AnalyseTrace(samples, range, wavelength, pulse, threshold, attenuation);
    AnalysisLine parsed;
    ASSERT_TRUE(ParseAnalysisLine(line, parsed)) << line;
    EXPECT_EQ(parsed.window, table.Window());
    EXPECT_EQ(parsed.end, table.End());
    ASSERT_EQ(parsed.events.size(), static_cast<size_t>(table.GetEventCount())) << line;
    for (int i = 0; i < table.GetEventCount(); ++i) {
        analysis::EventRecord expected;
        ASSERT_EQ(table.GetEvent(i, expected), 0);
        EXPECT_EQ(parsed.events[i].position, expected.position);
        EXPECT_EQ(parsed.events[i].type, expected.type);
        EXPECT_EQ(parsed.events[i].loss, expected.loss);
        EXPECT_NEAR(parsed.distances[i], expected.position * kmPerSample, 5e-7);
    }
}

// The files every command must refuse, with the reason it must give.
struct Rejected {
    std::string file;
    std::string reason;
};

// A FIFO, a folder or a device is refused unopened, as a file that cannot be opened.
std::vector<Rejected> RejectedFiles(const TempRoot& root, const FifoTrap& fifo) {
    tracefile::ParameterBlock lowThreshold = TwoKmBlock();
    lowThreshold.m_fEventThreshold = 890;
    root.Write("short.st", std::string(64, '\0'));
    root.Write("notes.txt", "text");
    root.Write("x.sor/scan.sor", "anything");
    std::filesystem::create_directory(root.Path() / "x.st");
    std::filesystem::create_symlink("/dev/zero", root.Path() / "zero.st");
    return {
        {fifo.Path().string(), "cannot open the file"},
        {(root.Path() / "x.sor").string(), "the file cannot be read"},
        {(root.Path() / "x.st").string(), "cannot open the file"},
        {(root.Path() / "zero.st").string(), "cannot open the file"},
        {(root.Path() / "short.st").string(), "too short for a trace file"},
        {WriteTrace(root, "count.st", Falling(8192, 40000, 1), TwoKmBlock()),
         "sample count does not match the range"},
        {WriteTrace(root, "block.st", Falling(4096, 40000, 1), lowThreshold), "parameter block out of range"},
        {WriteTrace(root, "length.st", Falling(100, 40000, 1), TwoKmBlock()),
         "length is not whole blocks of 512 samples plus the 64-byte parameter block"},
        {(root.Path() / "notes.txt").string(), "not a trace file (the name must end in .st or .sor)"},
        {(root.Path() / "absent.st").string(), "cannot open the file"},
    };
}

TEST(TraceCommandsTest, InfoPrintsTheStoredWordsAsThePcReaderAcceptsThem) {
    TempRoot root;
    tracefile::ParameterBlock lowIndex = TwoKmBlock();
    lowIndex.m_fRefractive = 99900; // only the PC reader takes an index below 1
    const std::string two = WriteTrace(root, "two.ST", Falling(4096, 40000, 1), lowIndex);
    tracefile::ParameterBlock sixteen = TwoKmBlock();
    sixteen.range = 1600000;
    sixteen.m_iWaveLen = 155000000;
    const std::string longer = WriteTrace(root, "long.st", Falling(16384, 40000, 1), sixteen);
    root.Write("scan.SOR", "anything");
    std::string out, err;
    // A ".sor" name in any letter case is read as SOR, whatever the trace reader makes of the name.
    const std::string scan = (root.Path() / "scan.SOR").string();
    EXPECT_EQ(RunInfoCommand({"--json", two, scan, longer}, out, err), 1);
    EXPECT_EQ(
        out,
        "{\"samples\": 4096, \"params\": [200000, 131050000, 1050000, -99999, -5, 99900, 100000, 20000, 2]}\n"
        "{\"samples\": 16384, \"params\": [1600000, 155000000, 1050000, -99999, -5, 150000, 100000, 20000, "
        "2]}\n");
    EXPECT_EQ(err, "otdrtool info: " + scan + ": not a SOR file of issue 1 or 2\n");
}

TEST(TraceCommandsTest, EveryCommandNamesARejectedFileAndItsReason) {
    TempRoot root;
    const std::string good = WriteTrace(root, "good.st", Falling(4096, 40000, 1), TwoKmBlock());
    const FifoTrap fifo(root.Path() / "fifo.st");
    for (const Rejected& bad : RejectedFiles(root, fifo)) {
        SCOPED_TRACE(bad.file);
        std::string out, err;
        EXPECT_EQ(RunInfoCommand({"--json", good, bad.file, good}, out, err), 1);
        const std::string line = "{\"samples\": 4096, \"params\": [200000, 131050000, 1050000, -99999, -5, "
                                 "150000, 100000, 20000, 2]}\n";
        EXPECT_EQ(out, line + line);
        EXPECT_EQ(err, "otdrtool info: " + bad.file + ": " + bad.reason + "\n");

        std::string analysed, analyseErr;
        EXPECT_EQ(RunAnalyseCommand({"--json", bad.file, good}, analysed, analyseErr), 1);
        EXPECT_EQ(Lines(analysed).size(), 1u);
        EXPECT_EQ(analyseErr, "otdrtool analyse: " + bad.file + ": " + bad.reason + "\n");

        std::string exported, exportErr;
        EXPECT_EQ(RunExportCommand({"--csv", bad.file}, exported, exportErr), 1);
        EXPECT_EQ(exported, "");
        EXPECT_EQ(exportErr, "otdrtool export: " + bad.file + ": " + bad.reason + "\n");
    }
    EXPECT_EQ(fifo.Openings(), 0);
}

TEST(TraceCommandsTest, ExportPrintsDistanceAndLevelOfEverySample) {
    TempRoot root;
    std::string out, err;
    EXPECT_EQ(RunExportCommand({"--csv", WriteTrace(root, "two.st", Falling(4096, 40000, 2), TwoKmBlock())},
                               out, err),
              0);
    const std::vector<std::string> lines = Lines(out);
    ASSERT_EQ(lines.size(), 4096u);
    EXPECT_EQ(lines[0], "0.000000,20.0000");
    // 2 km over 4096 points: 0.48828125 m apart at the index 1.5 of the block.
    EXPECT_EQ(lines[1], "0.000488,19.9990");
    EXPECT_EQ(lines[3], "0.001465,19.9970");
    EXPECT_EQ(lines[4095], "1.999512,15.9050");

    // 0.5 km points are 0.195 m apart at index 1.5; a cable ratio shortens the fibre, a larger index the
    // distance.
    tracefile::ParameterBlock half = TwoKmBlock();
    half.range = 50000;
    half.m_fRefractive = 200000;
    half.m_fCableRatio = 80000;
    std::vector<uint32_t> levels(2560, 3);
    levels[2559] = 4000000000u;
    EXPECT_EQ(RunExportCommand({WriteTrace(root, "half.st", levels, half), "--csv"}, out, err), 0);
    const std::vector<std::string> halfLines = Lines(out);
    ASSERT_EQ(halfLines.size(), 2560u);
    EXPECT_EQ(halfLines[0], "0.000000,0.0015");
    EXPECT_EQ(halfLines[1000], "0.117188,0.0015");
    EXPECT_EQ(halfLines[2559], "0.299883,2000000.0000");

    // A ".sor" name is read as SOR by its content.
    root.Write("scan.sor", "x");
    out = "unchanged";
    EXPECT_EQ(RunExportCommand({"--csv", (root.Path() / "scan.sor").string()}, out, err), 1);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err,
              "otdrtool export: " + (root.Path() / "scan.sor").string() + ": too short for a map block\n");
}

TEST(TraceCommandsTest, AnalyseJsonIsWhatTheEventTableHolds) {
    TempRoot root;
    const std::vector<uint32_t> samples = SyntheticHalfKm();
    const std::string file = WriteTrace(root, "half.st", samples, HalfKmBlock());
    std::string out, err;
    ASSERT_EQ(RunAnalyseCommand({"--json", file}, out, err), 0);
    EXPECT_EQ(err, "");
    ExpectFaithful(Lines(out).at(0), samples, 0.5f, 1550.0f, 10.0f, 0.2f, 0, kHalfKmPerSample);
    // Both kinds, a measured and an unmeasured loss, in the exact form scripts parse.
    EXPECT_EQ(out, "{\"window\": 5, \"end\": 2199, \"events\": ["
                   "{\"position\": 399, \"type\": 1, \"loss\": 0.001826172, \"distance_km\": 0.079628}, "
                   "{\"position\": 1400, \"type\": 0, \"loss\": 0.30105862, \"distance_km\": 0.279398}, "
                   "{\"position\": 2199, \"type\": 1, \"loss\": 0, \"distance_km\": 0.438854}]}\n");

    // Words with fractions are read as the PC reads them: 1310 nm and 10 ns; the attenuation goes in as
    // stored.
    tracefile::ParameterBlock odd = HalfKmBlock();
    odd.m_iWaveLen = 131099999;
    odd.m_iPulseWidth = 1099999;
    odd.m_iAttenuation = 300000;
    odd.m_fCableRatio = 90000;
    ASSERT_EQ(RunAnalyseCommand({"--json", WriteTrace(root, "odd.st", samples, odd)}, out, err), 0);
    ExpectFaithful(Lines(out).at(0), samples, 0.5f, 1310.0f, 10.0f, 0.2f, 300000, kHalfKmPerSample * 0.9f);
}

TEST(TraceCommandsTest, ThresholdOptionReplacesTheFilesThreshold) {
    TempRoot root;
    const std::vector<uint32_t> samples = SyntheticHalfKm();
    tracefile::ParameterBlock high = HalfKmBlock();
    high.m_fEventThreshold = 60000;
    const std::string low = WriteTrace(root, "low.st", samples, HalfKmBlock());
    const std::string strict = WriteTrace(root, "strict.st", samples, high);
    std::string out, err;
    ASSERT_EQ(RunAnalyseCommand({"--json", low, strict}, out, err), 0);
    std::vector<std::string> lines = Lines(out);
    ASSERT_EQ(lines.size(), 2u);
    ExpectFaithful(lines[1], samples, 0.5f, 1550.0f, 10.0f, 0.6f, 0, kHalfKmPerSample);
    EXPECT_NE(lines[0], lines[1]); // the 0.3 dB splice passes 0.2 dB only

    ASSERT_EQ(RunAnalyseCommand({"--threshold", "0.6", "--json", low, strict}, out, err), 0);
    EXPECT_EQ(Lines(out), std::vector<std::string>({lines[1], lines[1]}));
    ASSERT_EQ(RunAnalyseCommand({"--json", low, strict, "--threshold", "2e-1"}, out, err), 0);
    EXPECT_EQ(Lines(out), std::vector<std::string>({lines[0], lines[0]}));
}

TEST(TraceCommandsTest, ValuesMayBeginWithADashAndTheLaterOneWins) {
    TempRoot root;
    const std::string half = WriteTrace(root, "half.st", SyntheticHalfKm(), HalfKmBlock());
    std::string out, err;
    ASSERT_EQ(RunAnalyseCommand({half, "--threshold", "-0.5"}, out, err), 0) << err;
    EXPECT_EQ(Lines(out).at(0),
              half + ": range 0.5 km, wavelength 1550 nm, pulse width 10 ns, threshold -0.5 dB");
    std::string once;
    ASSERT_EQ(RunAnalyseCommand({"--json", half, "--threshold", "0.6"}, once, err), 0);
    ASSERT_EQ(RunAnalyseCommand({"--threshold", "abc", "--json", half, "--threshold", "0.6"}, out, err), 0);
    EXPECT_EQ(out, once);
    // A flag given twice is the flag.
    ASSERT_EQ(RunExportCommand({"--csv", half, "--csv"}, out, err), 0);
    EXPECT_EQ(Lines(out).size(), 2560u);
}

TEST(TraceCommandsTest, AnalyseTableListsEachFilesEvents) {
    TempRoot root;
    const std::string half = WriteTrace(root, "half.st", SyntheticHalfKm(), HalfKmBlock());
    const std::string odd = WriteTrace(root, "odd.st", Falling(4096, 40000, 1), TwoKmBlock());
    root.Write("scan.sor", "x");
    const std::string sor = (root.Path() / "scan.sor").string();
    std::string out, err;
    EXPECT_EQ(RunAnalyseCommand({half, sor, odd}, out, err), 1);
    EXPECT_EQ(err, "otdrtool analyse: " + sor + ": too short for a map block\n");
    EXPECT_EQ(out, half +
                       ": range 0.5 km, wavelength 1550 nm, pulse width 10 ns, threshold 0.2 dB\n"
                       "No.  Type         Distance (km)  Loss (dB)\n"
                       "1    JointEvent   0.0796         0.0018\n"
                       "2    FusionEvent  0.2794         0.3011\n"
                       "3    JointEvent   0.4389         ------\n"
                       "\n" +
                       odd +
                       ": range 2 km, wavelength 1310 nm, pulse width 10 ns, threshold 0.2 dB\n"
                       "No.  Type         Distance (km)  Loss (dB)\n");
    EXPECT_EQ(RunAnalyseCommand({half, "--threshold", "0.25"}, out, err), 0);
    EXPECT_EQ(Lines(out).at(0),
              half + ": range 0.5 km, wavelength 1550 nm, pulse width 10 ns, threshold 0.25 dB");
}

TEST(TraceCommandsTest, BadUsageIsExitTwoWithNothingPrinted) {
    TempRoot root;
    const std::string good = WriteTrace(root, "good.st", Falling(4096, 40000, 1), TwoKmBlock());
    const std::vector<std::vector<std::string>> badInfo = {{}, {"--json"}, {good}, {"--json", "--csv", good}};
    const std::vector<std::vector<std::string>> badAnalyse = {
        {},
        {"--json"},
        {"--json", good, "--threshold"},
        {"--json", good, "--threshold", "abc"},
        {"--json", good, "--threshold", "0.5dB"},
        {"--json", good, "--threshold", ""},
        {"--json", good, "--threshold", " 0.5"},
        {"--json", good, "--threshold", "nan"},
        {"--json", good, "--threshold", "1e99"},
        {"--json", "--verbose", good},
        {"-j", good},
    };
    const std::vector<std::vector<std::string>> badExport = {
        {}, {"--csv"}, {good}, {"--csv", good, good}, {"--json", good}};
    for (const auto& args : badInfo) {
        std::string out, err;
        EXPECT_EQ(RunInfoCommand(args, out, err), 2);
        EXPECT_EQ(out, "");
        EXPECT_NE(err.find("usage: otdrtool info"), std::string::npos);
    }
    for (const auto& args : badAnalyse) {
        std::string out, err;
        EXPECT_EQ(RunAnalyseCommand(args, out, err), 2) << (args.empty() ? "" : args.back());
        EXPECT_EQ(out, "");
        EXPECT_NE(err.find("usage: otdrtool analyse"), std::string::npos);
    }
    for (const auto& args : badExport) {
        std::string out, err;
        EXPECT_EQ(RunExportCommand(args, out, err), 2);
        EXPECT_EQ(out, "");
        EXPECT_NE(err.find("usage: otdrtool export"), std::string::npos);
    }
    std::string out, err;
    EXPECT_EQ(RunAnalyseCommand({"--json", good, "--frobnicate"}, out, err), 2);
    EXPECT_EQ(err.substr(0, err.find('\n')), "otdrtool analyse: unknown option --frobnicate");
    EXPECT_EQ(RunAnalyseCommand({"--threshold", "x", good}, out, err), 2);
    EXPECT_EQ(err.substr(0, err.find('\n')), "otdrtool analyse: --threshold needs a number of dB");
}

} // namespace
