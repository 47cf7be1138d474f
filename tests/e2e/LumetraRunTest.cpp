#include "tests/e2e/ProgramRun.h"
#include "tests/support/CommaLocale.h"
#include "tests/support/TempRoot.h"

#include "platform/Clock.h"
#include "platform/TextCodec.h"

#include "shared/tracefile/TraceFile.h"

#include <QImage>
#include <chrono>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

class LumetraRunTest : public ::testing::Test {
protected:
    ProgramRun Run(const std::string& script, ProgramStart start = {}) {
        std::ofstream(root.Path() / "script.txt") << script;
        start.program = "Lumetra";
        start.arguments = {"--script", (root.Path() / "script.txt").string()};
        start.workDir = root.Path();
        start.environment["LUMETRA_ROOT"] = root.Path().string();
        start.environment["LUMETRA_DEBUG"] = "1";
        start.environment["QT_QPA_PLATFORM"] = "offscreen";
        start.environment.emplace("LUMETRA_LOCALE", "0409");
        return RunProgram(start);
    }
    std::string Shot(const std::string& name) const { return (root.Path() / name).string(); }

    TempRoot root;
};

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST_F(LumetraRunTest, EmptyRootStartsSetsTheYearBackWritesTheUpdaterAndQuitsWith18) {
    platform::LocalTime time = platform::GetLocalTime();
    time.year = 2031;
    time.day = std::min(time.day, 28);
    ASSERT_TRUE(platform::SetLocalTime(time));
    const ProgramRun run = Run("wait 300\nquit\n");
    EXPECT_EQ(run.exitCode, 18) << run.errors;
    EXPECT_EQ(platform::GetLocalTime().year, 2011);
    const std::string written = FileBytes(root.Path() / "NandFlash" / "Vantrel.exe");
    EXPECT_FALSE(written.empty());
    EXPECT_EQ(written, FileBytes(std::string(LUMETRA_BIN_DIR) + "/Vantrel"));
    EXPECT_NE(run.errors.find("Updata ok"), std::string::npos);
    EXPECT_NE(run.errors.find("ThreadOfAutoClose"), std::string::npos);
}

TEST_F(LumetraRunTest, EscapeNeverClosesTheMainWindow) {
    const ProgramRun run = Run("key VK_ESCAPE\nkey VK_ESCAPE\nhold VK_ESCAPE 4\nwait 100\nquit\n");
    EXPECT_EQ(run.exitCode, 18) << run.errors;
    EXPECT_NE(run.errors.find("VK_ESCAPE    App-------------"), std::string::npos);
    EXPECT_EQ(run.errors.find("VK_ESCAPE    CEDlg"), std::string::npos);
}

TEST_F(LumetraRunTest, HoldingVLightsTheLocatorAndAShortPressDoesNot) {
    ProgramRun run = Run("hold V 2\nkey V\nwait 200\nquit\n");
    EXPECT_EQ(run.exitCode, 18) << run.errors;
    EXPECT_EQ(run.errors.find("VFL-Open"), std::string::npos);
    run = Run("hold V 3\nwait 1500\nquit\n");
    EXPECT_EQ(run.exitCode, 18) << run.errors;
    EXPECT_NE(run.errors.find("VFL-Open"), std::string::npos);
    EXPECT_NE(run.errors.find("VFL_OPEN finish"), std::string::npos);
}

TEST_F(LumetraRunTest, PowerKeyAnsweredYesShowsTheShutdownPictureAndSwitchesOff) {
    const ProgramRun run = Run("wait 200\nkey F12\nwait 400\nshot " + Shot("box.png") +
                               "\nanswer yes\nwait 300\nshot " + Shot("off.png") + "\nwait 20000\nquit\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.errors.find("AfxCloseMachine"), std::string::npos);
    const QImage box(QString::fromStdString(Shot("box.png")));
    const QImage off(QString::fromStdString(Shot("off.png")));
    ASSERT_EQ(off.size(), QSize(320, 240));
    ASSERT_EQ(box.size(), QSize(320, 240));
    EXPECT_NE(box, off);
    // The shutdown picture: a dark screen.
    EXPECT_LT(qGray(off.pixel(5, 5)), 60);
    EXPECT_LT(qGray(off.pixel(315, 235)), 60);
}

TEST_F(LumetraRunTest, PowerKeyAnsweredNoChangesNothing) {
    const ProgramRun run = Run("key F12\nwait 300\nanswer no\nwait 200\nquit\n");
    EXPECT_EQ(run.exitCode, 18) << run.errors;
    EXPECT_EQ(run.errors.find("AfxCloseMachine"), std::string::npos);
}

TEST_F(LumetraRunTest, SignalOfThePowerKeyAsksTheQuestion) {
    ProgramStart start;
    start.waitFor = "waitforsingleobject -----";
    start.onSeen = [](int pid) { ::kill(pid, SIGUSR1); };
    const ProgramRun run = Run("answer yes\nwait 30000\nquit\n", start);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.errors.find("AfxCloseMachine"), std::string::npos);
}

TEST_F(LumetraRunTest, TheUsbDiskKeepsItsFilesWhileUnplugged) {
    root.Write(".Hard Disk.unplugged/OTDRDATA/a.st", "trace");
    ProgramRun run = Run("usb insert\nquit\n");
    EXPECT_EQ(run.exitCode, 18) << run.errors;
    EXPECT_EQ(root.Read("Hard Disk/OTDRDATA/a.st"), "trace");
    run = Run("usb remove\nquit\n");
    EXPECT_EQ(run.exitCode, 18) << run.errors;
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "Hard Disk"));
    EXPECT_EQ(root.Read(".Hard Disk.unplugged/OTDRDATA/a.st"), "trace");
    // On a Chinese system the disk is the other folder.
    ProgramStart chinese;
    chinese.environment["LUMETRA_LOCALE"] = "0804";
    run = Run("usb insert\nquit\n", chinese);
    EXPECT_TRUE(std::filesystem::is_directory(root.Path() / "硬盘"));
}

TEST_F(LumetraRunTest, BadScriptsStopWithExitCode2) {
    ProgramRun run = Run("wait 10\njump 3\nquit\n");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.errors.find(":2: unknown command 'jump'"), std::string::npos) << run.errors;
    run = Run("key NOKEY\n");
    EXPECT_EQ(run.exitCode, 2);
    run = Run("shot picture.jpg\n");
    EXPECT_EQ(run.exitCode, 2);
}

TEST_F(LumetraRunTest, ACommandThatFailsEndsTheRunWithExitCode2AndRunsNothingAfterIt) {
    const std::filesystem::path after = root.Path() / "after.png";
    ProgramRun run = Run("wait 10\nload " + (root.Path() / "missing.st").string() + "\nshot " +
                         after.string() + "\nquit\n");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.errors.find("script: line 2: cannot load"), std::string::npos) << run.errors;
    EXPECT_FALSE(std::filesystem::exists(after));
}

// The settings screen's OK on a flash that cannot take config.ini: its box opens while the key is down.
constexpr const char* kRefusedSettings = "wait 200\nkey F4\nkey F1\nwait 100\nkey F1\n";

TEST_F(LumetraRunTest, AMessageBoxNoAnswerCoversEndsTheRunWithExitCode3AndItsText) {
    // Each run would hang without the bound; the time-out keeps a failure short.
    ProgramStart start;
    start.timeoutMs = 20000;
    // Start-up's own box, before the first line.
    std::filesystem::create_directory(root.Path() / ".clock_offset_ms");
    ProgramRun run = Run("wait 100\nquit\n", start);
    EXPECT_EQ(run.exitCode, 3) << run.errors;
    EXPECT_NE(run.errors.find(
                  "script: start-up: a message box is open that no answer covers: \"system year set false\""),
              std::string::npos)
        << run.errors;
    std::filesystem::remove(root.Path() / ".clock_offset_ms");

    // The power key's question, left open when the script ends; independent of the fast test time.
    root.Write("NandFlash/languageEN.ini", Utf16Bytes("[lumetra_app]\r\nIsShutOff=Switch off now?\r\n"));
    start.environment["LUMETRA_TEST_TIME"] = "fast";
    const auto before = std::chrono::steady_clock::now();
    run = Run("key F12\nwait 300\n", start);
    EXPECT_EQ(run.exitCode, 3) << run.errors;
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(5000));
    EXPECT_NE(
        run.errors.find("script: line 2: a message box is open that no answer covers: \"Switch off now?\""),
        std::string::npos)
        << run.errors;
    EXPECT_EQ(run.errors.find("AfxCloseMachine"), std::string::npos);

    // A refused setting, with the script still going on behind it.
    std::filesystem::create_directories(root.Path() / "NandFlash" / "config.ini");
    run = Run(std::string(kRefusedSettings) + "wait 10000\nquit\n", start);
    EXPECT_EQ(run.exitCode, 3) << run.errors;
    EXPECT_NE(run.errors.find("script: line 6: a message box is open that no answer covers: \""),
              std::string::npos)
        << run.errors;
}

TEST_F(LumetraRunTest, AnswersCoverTheBoxesOfStartUpAndOfTheCommandBeforeThem) {
    ProgramStart start;
    start.timeoutMs = 20000;
    std::filesystem::create_directory(root.Path() / ".clock_offset_ms");
    ProgramRun run = Run("# the clock cannot be set\nanswer ok\nwait 100\nquit\n", start);
    EXPECT_EQ(run.exitCode, 18) << run.errors;
    std::filesystem::remove(root.Path() / ".clock_offset_ms");

    std::filesystem::create_directories(root.Path() / "NandFlash" / "config.ini");
    run = Run(std::string(kRefusedSettings) + "shot " + Shot("box.png") + "\nanswer ok\nwait 100\nshot " +
                  Shot("after.png") + "\nquit\n",
              start);
    EXPECT_EQ(run.exitCode, 18) << run.errors;
    const QImage box(QString::fromStdString(Shot("box.png")));
    const QImage after(QString::fromStdString(Shot("after.png")));
    ASSERT_EQ(box.size(), QSize(320, 240));
    ASSERT_EQ(after.size(), QSize(320, 240));
    EXPECT_NE(box, after);
}

TEST_F(LumetraRunTest, QuitEndsTheRunWithAMessageBoxOpen) {
    ProgramStart start;
    start.timeoutMs = 20000;
    ProgramRun run = Run("key F12\nwait 300\nquit\n", start);
    EXPECT_EQ(run.exitCode, 18) << run.errors;
    // The question closed as not confirmed.
    EXPECT_EQ(run.errors.find("AfxCloseMachine"), std::string::npos);

    std::filesystem::create_directories(root.Path() / "NandFlash" / "config.ini");
    run = Run(std::string(kRefusedSettings) + "quit\n", start);
    EXPECT_EQ(run.exitCode, 18) << run.errors;
}

TEST_F(LumetraRunTest, DumpAndShotThatCannotWriteFailTheScript) {
    const std::filesystem::path full = root.Path() / "full.png";
    std::filesystem::create_symlink("/dev/full", full);
    ProgramRun run = Run("wait 100\nshot " + full.string() + "\nquit\n");
    EXPECT_EQ(run.exitCode, 2) << run.errors;
    EXPECT_NE(run.errors.find("script: line 2: cannot write " + full.string()), std::string::npos)
        << run.errors;

    run = Run("wait 100\ndump /dev/full\nquit\n");
    EXPECT_EQ(run.exitCode, 2) << run.errors;
    EXPECT_NE(run.errors.find("script: line 2: cannot dump to /dev/full"), std::string::npos) << run.errors;

    // A file that is there stays whole.
    root.Write("folder.txt/keep", "kept");
    run = Run("dump " + (root.Path() / "folder.txt").string() + "\nquit\n");
    EXPECT_EQ(run.exitCode, 2) << run.errors;
    EXPECT_EQ(root.Read("folder.txt/keep"), "kept");
}

TEST_F(LumetraRunTest, QuotedPathsMayHoldBlanksAndAnOpenQuoteIsABadLine) {
    std::filesystem::create_directory(root.Path() / "my shots");
    const std::string shot = (root.Path() / "my shots" / "a \"b\".png").string();
    const std::string dump = (root.Path() / "my shots" / "state.txt").string();
    ProgramRun run = Run("wait 100\nshot \"" + (root.Path() / "my shots").string() +
                         "/a \\\"b\\\".png\"\ndump \"" + dump + "\"\nquit\n");
    EXPECT_EQ(run.exitCode, 18) << run.errors;
    EXPECT_EQ(QImage(QString::fromStdString(shot)).size(), QSize(320, 240));
    EXPECT_NE(root.Read("my shots/state.txt").find("samples: "), std::string::npos);

    run = Run("wait 100\r\n# a shot\r\nshot \"" + dump + "\r\nquit\r\n");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.errors.find(":3: unterminated quote: \"" + dump + "\n"), std::string::npos) << run.errors;
}

// `type` enters a name on the save screen as keys; a refused name's long message stays on the screen.
TEST_F(LumetraRunTest, TypedNamesAreSavedAndMessageBoxesFitTheScreen) {
    ProgramStart start;
    start.environment["LUMETRA_TEST_TIME"] = "fast";
    start.timeoutMs = 60000;
    const std::string save = "key F2\nwait 100\nkey F1\nwait 100\n";
    ProgramRun run = Run(
        "wait 100\nkey T\nwait-test\n" + save + "type \"Span 7.2 km-A\"\nkey F1\nwait 100\n" + save +
            "type \"../x\"\nkey F1\nwait 100\nshot " + Shot("refused.png") + "\nanswer ok\nwait 100\nquit\n",
        start);
    EXPECT_EQ(run.exitCode, 18) << run.errors;
    EXPECT_TRUE(std::filesystem::exists(root.Path() / "NandFlash" / "Span 7.2 km-A.st"));
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "x.st"));
    // The box's frame and its OK button lie inside the 320 pixels: the window's right edge column is
    // the screen's background, not the box.
    const QImage shot(QString::fromStdString(Shot("refused.png")));
    ASSERT_FALSE(shot.isNull());
    int boxRows = 0;
    for (int y = 60; y < 180; ++y)
        boxRows += shot.pixelColor(319, y) != shot.pixelColor(319, 200);
    EXPECT_EQ(boxRows, 0);
}

TEST_F(LumetraRunTest, TheUsbDiskKeepsItsOwnSpellingWhileUnpluggedAndPluggedIn) {
    root.Write("HARD DISK/OTDRDATA/a.st", "trace");
    // An older copy of the disk, in another spelling again, gives way to the one taken out now.
    root.Write(".hard disk.unplugged/OTDRDATA/old.st", "old");
    ProgramRun run = Run("usb remove\nusb insert\nusb remove\nquit\n");
    EXPECT_EQ(run.exitCode, 18) << run.errors;
    // The entries that are the disk or its copy, whatever their spelling.
    const auto names = [this] {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(root.Path())) {
            const std::string name = entry.path().filename().string();
            if (QString::fromStdString(name).contains(QStringLiteral("disk"), Qt::CaseInsensitive))
                found.push_back(name);
        }
        return found;
    };
    EXPECT_EQ(names(), std::vector<std::string>{".HARD DISK.unplugged"});
    EXPECT_EQ(root.Read(".HARD DISK.unplugged/OTDRDATA/a.st"), "trace");

    run = Run("usb insert\nquit\n");
    EXPECT_EQ(run.exitCode, 18) << run.errors;
    EXPECT_EQ(names(), std::vector<std::string>{"HARD DISK"});
    EXPECT_EQ(root.Read("HARD DISK/OTDRDATA/a.st"), "trace");
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "HARD DISK" / "OTDRDATA" / "old.st"));

    // With no disk kept, inserting one brings an empty disk.
    std::filesystem::remove_all(root.Path() / "HARD DISK");
    run = Run("usb insert\nquit\n");
    EXPECT_EQ(run.exitCode, 18) << run.errors;
    EXPECT_EQ(names(), std::vector<std::string>{"Hard Disk"});
    EXPECT_TRUE(std::filesystem::is_empty(root.Path() / "Hard Disk"));
}

} // namespace

namespace {

TEST(OtdrtoolRunTest, InterruptStopsARealTimeMeasurementAfterItsCycle) {
    TempRoot root;
    ProgramStart start;
    start.program = "otdrtool";
    start.arguments = {"measure",
                       "--way",
                       "realtime",
                       "--range",
                       "0.5",
                       "--pulse",
                       "10",
                       "-o",
                       (root.Path() / "live.st").string(),
                       "--io-stats",
                       (root.Path() / "stats.json").string()};
    start.workDir = root.Path();
    start.environment["LUMETRA_ROOT"] = root.Path().string();
    start.environment["LUMETRA_DEBUG"] = "1";
    start.waitFor = "time = ";
    start.onSeen = [](int pid) { ::kill(pid, SIGINT); };
    const ProgramRun run = RunProgram(start);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    const std::string stats = root.Read("stats.json");
    const size_t at = stats.find("\"0x280\": ");
    ASSERT_NE(at, std::string::npos) << stats;
    const int cycles = std::stoi(stats.substr(at + 9));
    EXPECT_GE(cycles, 1);
    EXPECT_LT(cycles, 5);
    EXPECT_EQ(root.Read("live.st").size(), 2560u * 4 + 64);
}

TEST_F(LumetraRunTest, AGermanDesktopReadsWritesAndMeasuresWithTheSystemsDecimalPoint) {
    const std::filesystem::path locales = root.Path() / "locales";
    const std::string german = MakeCommaLocale(locales);
    ASSERT_FALSE(german.empty()) << "localedef could not make a German locale";
    root.Write(
        "NandFlash/config.ini",
        Utf16Bytes("[param]\r\nmyRefractive=1.4685\r\nmyCableRatio=0.990\r\nmyEventThreshold=0.25\r\n"));
    ProgramStart start;
    start.environment = {
        {"LANG", german}, {"LC_ALL", german}, {"LOCPATH", locales.string()}, {"LUMETRA_TEST_TIME", "fast"}};
    // The settings applied and saved with OK, then a quick test, then the trace kept.
    const std::string trace = (root.Path() / "test.st").string();
    ProgramRun run = Run("wait 200\nkey F4\nkey F1\nwait 100\nkey F1\nwait 100\nkey T\nwait-test\nsave " +
                             trace + "\nquit\n",
                         start);
    ASSERT_EQ(run.exitCode, 18) << run.errors;
    tracefile::TraceFileContents contents;
    ASSERT_EQ(tracefile::ReadTraceFile(trace, tracefile::ReaderVariant::Instrument, contents), 0);
    EXPECT_FALSE(contents.samples.empty());
    const tracefile::ParameterBlock expected =
        tracefile::ParameterBlock::FromParameters({16, 1310, 320, 5, 7, 1.4685f, 0.99f, 0.25f}, 7, 0);
    EXPECT_EQ(contents.block.m_fRefractive, expected.m_fRefractive);
    EXPECT_EQ(contents.block.m_fCableRatio, expected.m_fCableRatio);
    EXPECT_EQ(contents.block.m_fEventThreshold, expected.m_fEventThreshold);
    const std::string saved = platform::Utf16ToUtf8(
        std::u16string(reinterpret_cast<const char16_t*>(root.Read("NandFlash/config.ini").data()),
                       root.Read("NandFlash/config.ini").size() / 2));
    EXPECT_NE(saved.find("myRefractive=1.4685"), std::string::npos) << saved;
    EXPECT_NE(saved.find("myCableRatio=0.990"), std::string::npos) << saved;
    EXPECT_NE(saved.find("myEventThreshold=0.25"), std::string::npos) << saved;

    // What was saved is read back the same at the next start.
    run = Run("wait 200\nkey T\nwait-test\nsave " + trace + "\nquit\n", start);
    ASSERT_EQ(run.exitCode, 18) << run.errors;
    ASSERT_EQ(tracefile::ReadTraceFile(trace, tracefile::ReaderVariant::Instrument, contents), 0);
    EXPECT_EQ(contents.block.m_fRefractive, expected.m_fRefractive);
    EXPECT_EQ(contents.block.m_fEventThreshold, expected.m_fEventThreshold);
}

} // namespace
