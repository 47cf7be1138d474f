#include "tools/otdrtool/SorCommands.h"
#include "tools/otdrtool/MeasureCommand.h"
#include "tools/otdrtool/TraceCommands.h"

#include "shared/sor/SorFile.h"
#include "shared/sor/TraceConversion.h"
#include "shared/tracefile/TraceFile.h"

#include "tests/support/Lines.h"
#include "tests/support/TempRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

// A small SOR file with two pulse settings' worth of fields and two events, one with a code a hostile
// writer filled with a quote and a control character.
sor::SorFile SmallSor() {
    sor::SorFile file;
    file.fxd.actualWavelength = 16513;
    file.fxd.groupIndex = 146890;
    file.fxd.pulses = {{.width = 10, .dataSpacing = 100000, .points = 3000}, {.width = 30, .dataSpacing = 0}};
    file.fxd.pulses[1].points = 0;
    file.data.numberOfPoints = 3000;
    sor::TraceData trace;
    for (uint16_t j = 0; j < 3000; ++j)
        trace.points.push_back(static_cast<uint16_t>(3000 + j));
    file.data.traces.push_back(trace);
    sor::KeyEvent first;
    first.number = 1;
    first.time = 10000; // 1 us
    first.loss = -215;
    first.reflectance = -46671;
    first.code = {'1', 'F', '9', '9', '9', '9'};
    sor::KeyEvent second = first;
    second.number = 2;
    second.time = 0;
    second.loss = 0;
    second.reflectance = 0;
    second.code = {'"', '\n', 'E', '9', '9', '\xff'};
    file.keyEvents.events = {first, second};
    return file;
}

std::string WriteSor(const TempRoot& root, const std::string& name, const sor::SorFile& file) {
    const std::filesystem::path path = root.Path() / name;
    EXPECT_EQ(sor::WriteFile(path, file), 0);
    return path.string();
}

std::string Measure(const TempRoot& root, const std::string& name, const std::vector<std::string>& settings) {
    std::ifstream in(std::filesystem::path(DEVICE_DATA_DIR) / "languageEN.ini", std::ios::binary);
    const std::vector<uint8_t> english((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
    const std::string file = (root.Path() / name).string();
    std::vector<std::string> args = {"--fast", "-o", file};
    args.insert(args.end(), settings.begin(), settings.end());
    std::string out, err;
    EXPECT_EQ(RunMeasureCommand(args, english, out, err), 0) << err;
    return file;
}

TEST(SorCommandsTest, InfoPrintsOneJsonObjectPerSorFile) {
    TempRoot root;
    const std::string sorName = WriteSor(root, "link.SOR", SmallSor());
    std::string out, err;
    ASSERT_EQ(RunInfoCommand({"--json", sorName}, out, err), 0) << err;
    EXPECT_EQ(out, "{\"format\": \"sor\", \"version\": 2, \"wavelength_nm\": 1651.3, \"pulse_ns\": [10, 30], "
                   "\"index\": 1.4689, \"points\": 3000, \"spacing_m\": 0.2040931704, \"checksum\": \"ok\", "
                   "\"events\": [{\"number\": 1, \"distance_km\": 0.2040931704, \"code\": \"1F9999\", "
                   "\"loss_db\": -0.215, \"reflectance_db\": -46.671}, {\"number\": 2, \"distance_km\": 0, "
                   "\"code\": \"\\\"\\u000aE99\xEF\xBF\xBD\", \"loss_db\": 0, \"reflectance_db\": 0}]}\n");

    // A damaged byte is reported, not refused; a file that is no SOR is named with its reason while the
    // others are still listed.
    std::string bytes = root.Read("link.SOR");
    bytes[bytes.size() - 10] ^= 1; // a trace point
    root.Write("damaged.sor", bytes);
    root.Write("plain.sor", std::string(200, 'x'));
    const std::string damaged = (root.Path() / "damaged.sor").string();
    const std::string plain = (root.Path() / "plain.sor").string();
    ASSERT_EQ(RunInfoCommand({"--json", plain, damaged}, out, err), 1);
    EXPECT_NE(out.find("\"checksum\": \"mismatch\""), std::string::npos);
    EXPECT_EQ(Lines(out).size(), 1u);
    EXPECT_EQ(err, "otdrtool info: " + plain + ": not a SOR file of issue 1 or 2\n");
}

TEST(SorCommandsTest, ImportWritesATraceBothProgramsOpen) {
    TempRoot root;
    const std::string input = WriteSor(root, "link.sor", SmallSor());
    const std::string output = (root.Path() / "link.st").string();
    std::string out, err;
    ASSERT_EQ(RunImportCommand({input, "-o", output}, out, err), 0) << err;
    EXPECT_EQ(err, "");
    EXPECT_EQ(out, output + ": 1 km, 1550 nm, 10 ns, index 1.46890, 5120 samples, from 1651.3 nm, 10 ns, "
                            "3000 points\n");
    for (const auto variant : {tracefile::ReaderVariant::Instrument, tracefile::ReaderVariant::Pc}) {
        tracefile::TraceFileContents contents;
        EXPECT_EQ(tracefile::ReadTraceFile(output, variant, contents), 0);
        EXPECT_EQ(contents.samples.size(), 5120u);
    }

    // A range too short for the trace cuts it and says so; the file is still written.
    ASSERT_EQ(RunImportCommand({input, "--range", "0.5", "-o", output}, out, err), 0);
    EXPECT_EQ(err,
              "otdrtool import: " + input + ": the trace (0.612 km) runs past 0.5 km and is cut there\n");
    tracefile::TraceFileContents contents;
    ASSERT_EQ(tracefile::ReadTraceFile(output, tracefile::ReaderVariant::Pc, contents), 0);
    EXPECT_EQ(contents.samples.size(), 2560u);

    const std::string missingFolder = (root.Path() / "none" / "x.st").string();
    EXPECT_EQ(RunImportCommand({input, "-o", missingFolder}, out, err), 1);
    EXPECT_EQ(err, "otdrtool import: " + missingFolder + ": cannot be written\n");
    root.Write("text.sor", "Map");
    const std::string text = (root.Path() / "text.sor").string();
    EXPECT_EQ(RunImportCommand({text, "-o", output}, out, err), 1);
    EXPECT_EQ(err, "otdrtool import: " + text + ": too short for a map block\n");
    sor::SorFile wide = SmallSor();
    wide.fxd.groupIndex = 250000;
    const std::string wideIndex = WriteSor(root, "wide.sor", wide);
    EXPECT_EQ(RunImportCommand({wideIndex, "-o", output}, out, err), 1);
    EXPECT_EQ(err, "otdrtool import: " + wideIndex + ": the group index lies outside 1.0 to 2.0\n");

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {input},
             {"-o", output},
             {input, "-o", output, "--range", "3"},
             {input, "-o", output, "--range", "1km"},
             {input, "-o", output, "--range", ""},
         }) {
        EXPECT_EQ(RunImportCommand(args, out, err), 2);
        EXPECT_EQ(out, "");
        EXPECT_NE(err.find("usage: otdrtool import"), std::string::npos);
    }
}

TEST(SorCommandsTest, MeasuredTraceExportedAndImportedAnalysesToTheSameEvents) {
    TempRoot root;
    int endEvents = 0;
    // The default test, and one whose attenuation (which sets the analysis's reflection threshold here)
    // and cable ratio SOR has no field for.
    for (const std::vector<std::string>& settings :
         {std::vector<std::string>{},
          {"--range", "64", "--pulse", "5120", "--atten", "10", "--cable-ratio", "0.9", "--wavelength",
           "1550", "--scenario", SCENARIO_DIR "/long-haul.txt"}}) {
        SCOPED_TRACE(settings.empty() ? "default" : "64 km");
        const std::string measured = Measure(root, "measured.st", settings);
        const std::string exported = (root.Path() / "measured.sor").string();
        const std::string imported = (root.Path() / "imported.st").string();
        std::string out, err;
        ASSERT_EQ(RunExportCommand({"--sor", measured, "-o", exported}, out, err), 0) << err;
        ASSERT_EQ(RunImportCommand({exported, "-o", imported}, out, err), 0) << err;

        std::string before, after, direct;
        ASSERT_EQ(RunAnalyseCommand({"--json", measured}, before, err), 0);
        ASSERT_EQ(RunAnalyseCommand({"--json", imported}, after, err), 0);
        ASSERT_EQ(RunAnalyseCommand({"--json", exported}, direct, err), 0);
        EXPECT_NE(before.find("\"position\""), std::string::npos) << before;
        EXPECT_EQ(after, before);
        EXPECT_EQ(direct, before);

        // The file carries the analysis: as many key events, the fibre end marked where the analysis
        // kept an event at its end.
        sor::SorFile file;
        ASSERT_EQ(sor::ReadFile(exported, file), 0);
        EXPECT_EQ(file.checksum, sor::ChecksumStatus::Matches);
        const auto events = static_cast<size_t>(std::count(before.begin(), before.end(), '{') - 1);
        ASSERT_EQ(file.keyEvents.events.size(), events);
        const std::string end = before.substr(before.find("\"end\": ") + 7);
        const std::string last = before.substr(before.rfind("\"position\": ") + 12);
        const bool endEvent = std::stoul(end) == std::stoul(last);
        EXPECT_EQ(file.keyEvents.events.back().code[1], endEvent ? 'E' : 'F');
        endEvents += endEvent;
    }
    EXPECT_EQ(endEvents, 1);
}

TEST(SorCommandsTest, ExportAsksForOneFormatAndAFileToWrite) {
    TempRoot root;
    const std::string measured = Measure(root, "m.st", {"--range", "1", "--pulse", "80"});
    const std::string output = (root.Path() / "m.sor").string();
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--sor", measured},
             {"--csv", "--sor", measured, "-o", output},
             {measured, "-o", output},
         }) {
        std::string out, err;
        EXPECT_EQ(RunExportCommand(args, out, err), 2);
        EXPECT_EQ(out, "");
        EXPECT_NE(err.find("usage: otdrtool export"), std::string::npos);
    }
    std::string out, err;
    const std::string missingFolder = (root.Path() / "none" / "m.sor").string();
    EXPECT_EQ(RunExportCommand({"--sor", measured, "-o", missingFolder}, out, err), 1);
    EXPECT_EQ(err, "otdrtool export: " + missingFolder + ": the file cannot be written\n");
    EXPECT_FALSE(std::filesystem::exists(missingFolder));
}

} // namespace
