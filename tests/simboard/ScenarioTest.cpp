#include "simboard/Scenario.h"
#include "simboard/SimBoard.h"

#include "tests/simboard/AveragingRun.h"
#include "tests/support/FifoTrap.h"
#include "tests/support/TempRoot.h"

#include "platform/DebugOut.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using simboard::EventKind;
using simboard::Scenario;

Scenario Parse(const std::string& text) {
    Scenario s;
    std::string error;
    EXPECT_TRUE(simboard::ParseScenario(text, s, error)) << error;
    return s;
}

std::string ParseError(const std::string& text) {
    Scenario s = simboard::DefaultScenario();
    std::string error;
    EXPECT_FALSE(simboard::ParseScenario(text, s, error)) << text;
    EXPECT_EQ(s, simboard::DefaultScenario()) << "a failed parse must leave the scenario alone";
    return error;
}

TEST(ScenarioFormat, ReadsEveryLineKindWithCommentsAndLooseLayout) {
    const Scenario s = Parse("# a test link\r\n"
                             "fibre 3 0.35 0.21 1.4677 1.4682\r\n"
                             "  FIBRE 2.5 0.33 0.19 1.47   # second reel\n"
                             "\n"
                             "bend 4.2 0.1 0.6\n"
                             "connector 1.5 0.4 -52\n"
                             "splice 3 0.05\n"
                             "end 5 -14.5");
    ASSERT_EQ(s.fibres.size(), 2u);
    EXPECT_DOUBLE_EQ(s.fibres[0].index1550, 1.4682);
    EXPECT_DOUBLE_EQ(s.fibres[1].index1550, s.fibres[1].index1310) << "one index serves both wavelengths";
    EXPECT_DOUBLE_EQ(s.LengthKm(), 5.5);
    ASSERT_EQ(s.events.size(), 3u);
    // Events come out by distance whatever order they were written in.
    EXPECT_EQ(s.events[0].kind, EventKind::Connector);
    EXPECT_DOUBLE_EQ(s.events[0].reflectanceDb, -52.0);
    EXPECT_EQ(s.events[1].kind, EventKind::Splice);
    EXPECT_DOUBLE_EQ(s.events[1].loss1550, 0.05);
    EXPECT_EQ(s.events[2].kind, EventKind::Bend);
    EXPECT_DOUBLE_EQ(s.events[2].loss1310, 0.1);
    EXPECT_DOUBLE_EQ(s.events[2].loss1550, 0.6);
    EXPECT_DOUBLE_EQ(s.EndKm(), 5.0);
    EXPECT_DOUBLE_EQ(s.endReflectanceDb, -14.5);

    const Scenario open = Parse("fibre 2 0.3 0.2 1.46");
    EXPECT_DOUBLE_EQ(open.EndKm(), 2.0) << "without an end line the light stops where the fibre does";
    EXPECT_DOUBLE_EQ(open.endReflectanceDb, simboard::kOpenEndReflectanceDb);
}

TEST(ScenarioFormat, RejectsBadLinesNamingTheLine) {
    const std::string fibre = "fibre 2 0.3 0.2 1.46\n";
    const std::pair<std::string, std::string> cases[] = {
        {fibre + "splise 1 0.1", "line 2: unknown keyword 'splise' (fibre, connector, splice, bend, end)"},
        {"fibre 2 0.3 0.2", "line 1: expected 'fibre LENGTH_KM ATT1310 ATT1550 INDEX [INDEX1550]'"},
        {fibre + "# c\nsplice 1 0.1dB", "line 3: '0.1dB' is not a number"},
        {fibre + "connector 1 0.3", "line 2: expected 'connector KM LOSS_DB REFLECTANCE_DB'"},
        {fibre + "connector 1 0.3 12", "line 2: reflectance must lie in -100 .. 0 dB, not 12"},
        {fibre + "splice 1 -0.1", "line 2: loss must lie in 0 .. 20 dB, not -0.1"},
        {"fibre 0 0.3 0.2 1.46", "line 1: fibre length must lie above 0 and up to 400 km"},
        {"fibre 2 0.3 0.2 9", "line 1: group index must lie in 1 .. 2, not 9"},
        {fibre + "end 1 -14\nend 2 -14", "line 3: a second end (the first is on line 2)"},
        {"# nothing\n", "no fibre section"},
        // Whole-link checks still point at the line at fault.
        {fibre + "end 3 -14", "line 2: end at 3 km lies outside the fibre (0 .. 2 km)"},
        {fibre + "splice 1.9 0.1\nend 1.5 -14",
         "line 2: splice at 1.9 km lies at or beyond the fibre end at 1.5 km"},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(ParseError(text), message);
}

TEST(ScenarioFormat, BuiltInLinkIsTheTwelveKilometreLinkWithAnOpenEnd) {
    const Scenario s = simboard::DefaultScenario();
    std::string error;
    EXPECT_TRUE(simboard::ValidateScenario(s, error)) << error;
    EXPECT_DOUBLE_EQ(s.EndKm(), 12.0);
    EXPECT_DOUBLE_EQ(s.endReflectanceDb, simboard::kOpenEndReflectanceDb);
    ASSERT_EQ(s.events.size(), 4u);
    EXPECT_EQ(s.events[0].kind, EventKind::Connector);
    EXPECT_LT(s.events[0].km, 2.0) << "a short range sees the first connector";
    int splices = 0, bends = 0;
    double lastKm = 0.0;
    for (const simboard::LinkEvent& ev : s.events) {
        splices += ev.kind == EventKind::Splice;
        bends += ev.kind == EventKind::Bend;
        if (ev.kind != EventKind::Connector) {
            // The analysis at 16 km merges non-reflective events closer than 3 x 1024 samples (3.07 km)
            // and measures one over a third of the gap to a reflective event before it.
            EXPECT_GT(ev.km - lastKm, 3.1) << ev.km;
            EXPECT_GT(ev.loss1310, 0.1) << "above the default event threshold";
        }
        if (ev.kind == EventKind::Bend) {
            EXPECT_GT(ev.loss1550, ev.loss1310) << "a bend loses more at the longer wavelength";
        }
        lastKm = ev.km;
    }
    EXPECT_EQ(splices, 1);
    EXPECT_EQ(bends, 1);
    EXPECT_GT(s.EndKm() - lastKm, 1.6) << "a loss is measured over two thirds of the gap after it";

    Scenario unordered = s;
    std::swap(unordered.events[0], unordered.events[1]);
    EXPECT_FALSE(simboard::ValidateScenario(unordered, error));
    EXPECT_EQ(error, "event 2: events must come in ascending distance");
}

TEST(ScenarioFile, TakesOnlyABoundedRegularFileAndNamesWhatIsWrong) {
    TempRoot root;
    FifoTrap fifo(root.Path() / "fifo.txt");
    root.Write("folder.txt/inside.txt", "fibre 3 0.35 0.2 1.468\n");
    const std::string fibre = "fibre 3 0.35 0.2 1.468\r\n";
    // At the limits, in bytes and in the length of a line.
    const std::string longest = "#" + std::string(simboard::kMaxScenarioLineChars - 1, 'x') + "\r\n";
    std::string full = fibre + longest;
    full += std::string(simboard::kMaxScenarioBytes - full.size(), '\n');
    root.Write("full.txt", full);
    root.Write("large.txt", full + "\n");
    root.Write("wide.txt", fibre + "#" + longest);
    const auto at = [&root](const char* name) { return (root.Path() / name).string(); };

    Scenario loaded;
    std::string error;
    ASSERT_TRUE(simboard::LoadScenario(at("full.txt"), loaded, error)) << error;
    EXPECT_DOUBLE_EQ(loaded.EndKm(), 3.0);
    const std::pair<std::string, std::string> refused[] = {
        {at("folder.txt"), "not a regular file (a folder, FIFO or device)"},
        {at("fifo.txt"), "not a regular file (a folder, FIFO or device)"},
        {"/dev/zero", "not a regular file (a folder, FIFO or device)"},
        {at("large.txt"), "too large (a scenario holds at most 1048576 bytes)"},
        {at("wide.txt"), "line 2: longer than 4096 characters"},
        {at("absent.txt"), "no such file"},
    };
    for (const auto& [file, reason] : refused) {
        Scenario kept = simboard::DefaultScenario();
        EXPECT_FALSE(simboard::LoadScenario(file, kept, error)) << file;
        EXPECT_EQ(error, file + ": " + reason);
        EXPECT_EQ(kept, simboard::DefaultScenario()) << file;
    }
    EXPECT_EQ(fifo.Openings(), 0);
}

class ScenarioSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        simboard::RegisterSimulatedBoard();
        board.Reset();
        unsetenv("LUMETRA_SCENARIO");
        platform::SetDebugSink([this](std::string_view line) { debug += line; });
    }
    void TearDown() override {
        platform::SetDebugSink(nullptr);
        unsetenv("LUMETRA_SCENARIO");
    }

    simboard::SimBoard& board = simboard::SimBoard::Instance();
    TempRoot root;
    std::string debug;
};

TEST_F(ScenarioSourceTest, FileInTheDeviceRootIsTakenAtTheNextOpen) {
    root.Write("Scenario.TXT", "fibre 3 0.35 0.2 1.468\nend 3 -14\n");
    EXPECT_EQ(board.ScenarioSource(), "built-in");
    Acquisition a;
    a.rangeKm = 4.0;
    a.pulseNs = 80.0f;
    a.avgTime = 2;
    AveragingRun engine(a);
    ASSERT_TRUE(engine.IsOpen());
    EXPECT_EQ(board.ScenarioSource(), (root.Path() / "Scenario.TXT").string())
        << "names match in any letter case";
    EXPECT_DOUBLE_EQ(board.CurrentScenario().EndKm(), 3.0);
    // The board speaks only when it loads a scenario, at the open; the engine has debug lines of its own.
    EXPECT_EQ(debug, "");

    engine.Configure();
    engine.Run();
    const std::vector<uint32_t> levels = engine.Levels();
    const double perKm = 1000.0 / engine.MetresPerPoint(1.468);
    EXPECT_GT(levels[static_cast<size_t>(2.5 * perKm)], 20000u) << "lit fibre before the file's end";
    EXPECT_LT(levels[static_cast<size_t>(3.5 * perKm)], 6000u)
        << "dark after it, where the built-in link is lit";
    EXPECT_EQ(debug.find("Scenario"), std::string::npos) << debug;
}

TEST_F(ScenarioSourceTest, EnvironmentWinsAndBadFilesFallBackToTheBuiltInLink) {
    root.Write("scenario.txt", "fibre 3 0.35 0.2 1.468\n");
    root.Write("named.txt", "fibre 7 0.35 0.2 1.468\n");
    const std::string named = (root.Path() / "named.txt").string();
    setenv("LUMETRA_SCENARIO", named.c_str(), 1);
    board.ReloadScenario();
    EXPECT_EQ(board.ScenarioSource(), named);
    EXPECT_DOUBLE_EQ(board.CurrentScenario().EndKm(), 7.0);

    root.Write("named.txt", "fibre 7 0.35 0.2 1.468\nconnector 8 0.3 -50\n");
    board.ReloadScenario();
    EXPECT_EQ(board.ScenarioSource(), "built-in");
    EXPECT_EQ(board.CurrentScenario(), simboard::DefaultScenario());
    EXPECT_EQ(debug, "Scenario not used, the built-in link instead: " + named +
                         ": line 2: connector at 8 km lies at or beyond the fibre end at 7 km\r\n");

    // A scenario set by the program outlasts reloads until it is cleared.
    std::string error;
    simboard::Scenario set;
    set.fibres.push_back({1.0, 0.4, 0.25, 1.47, 1.47});
    ASSERT_TRUE(board.SetScenario(set, error)) << error;
    board.ReloadScenario();
    EXPECT_EQ(board.ScenarioSource(), "set");
    EXPECT_EQ(board.CurrentScenario(), set);
    set.fibres[0].lengthKm = -1.0;
    EXPECT_FALSE(board.SetScenario(set, error));
    EXPECT_EQ(board.CurrentScenario().LengthKm(), 1.0) << "a refused scenario changes nothing";
    unsetenv("LUMETRA_SCENARIO");
    board.ClearScenario();
    EXPECT_EQ(board.ScenarioSource(), (root.Path() / "scenario.txt").string());
}

TEST_F(ScenarioSourceTest, AFolderOrFifoInPlaceOfTheFileLeavesTheBuiltInLink) {
    root.Write("scenarios/named.txt/inside.txt", "fibre 7 0.35 0.2 1.468\n");
    const std::string named = (root.Path() / "scenarios" / "named.txt").string();
    setenv("LUMETRA_SCENARIO", named.c_str(), 1);
    board.ReloadScenario();
    EXPECT_EQ(board.ScenarioSource(), "built-in");
    unsetenv("LUMETRA_SCENARIO");
    FifoTrap fifo(root.Path() / "Scenario.txt");
    board.ReloadScenario();
    EXPECT_EQ(board.ScenarioSource(), "built-in");
    EXPECT_EQ(board.CurrentScenario(), simboard::DefaultScenario());
    const std::string reason = ": not a regular file (a folder, FIFO or device)\r\n";
    EXPECT_EQ(debug, "Scenario not used, the built-in link instead: " + named + reason +
                         "Scenario not used, the built-in link instead: " + fifo.Path().string() + reason);
    EXPECT_EQ(fifo.Openings(), 0);
}

} // namespace
