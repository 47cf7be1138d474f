#include "updater/UpdateSteps.h"

#include "platform/DebugOut.h"
#include "platform/DevicePath.h"
#include "platform/MessageBox.h"
#include "platform/Time.h"

#include "tests/support/FileSizeLimit.h"
#include "tests/support/RecordingMessageBox.h"
#include "tests/support/TempRoot.h"
#include "tests/updater/ProgramFile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class UpdateStepsTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetMessageBoxService(boxes);
        boxes->answer = platform::IDOK;
        platform::SetTimeSource(time);
        platform::SetDebugSink([this](std::string_view line) {
            std::lock_guard lock(debugMutex);
            debug += line;
        });
        setenv("LUMETRA_LOCALE", "0409", 1);
    }
    void TearDown() override {
        platform::SetMessageBoxService(nullptr);
        platform::SetTimeSource(nullptr);
        platform::SetDebugSink(nullptr);
        unsetenv("LUMETRA_LOCALE");
    }
    void Install(const std::string& bytes) {
        root.Write("NandFlash/Lumetra.exe", bytes);
        fs::permissions(root.Path() / "NandFlash/Lumetra.exe", fs::perms::owner_all);
    }
    std::string Debug() {
        std::lock_guard lock(debugMutex);
        return debug;
    }
    bool Executable(const std::string& relative) const {
        struct stat info {};
        return ::stat((root.Path() / relative).c_str(), &info) == 0 && (info.st_mode & S_IXUSR);
    }

    TempRoot root;
    fs::path marker = root.Path() / "restarted";
    std::shared_ptr<RecordingMessageBox> boxes = std::make_shared<RecordingMessageBox>();
    std::shared_ptr<platform::FastTime> time = std::make_shared<platform::FastTime>();
    std::mutex debugMutex;
    std::string debug;
};

TEST_F(UpdateStepsTest, ProductNamesMatchExactlyAndAProgramWithoutANameIsNoUpdate) {
    const updater::ProductInfo lumetra{"Lumetra", "1.0.0"};
    EXPECT_TRUE(updater::SameProduct(lumetra, {"Lumetra", "0.9.0"})) << "an older version is installed too";
    EXPECT_FALSE(updater::SameProduct(lumetra, {"lumetra", "1.0.0"}));
    EXPECT_FALSE(updater::SameProduct(lumetra, {"Lumetra ", "1.0.0"}));
    EXPECT_FALSE(updater::SameProduct(lumetra, {}));
    EXPECT_FALSE(updater::SameProduct({}, {})) << "two programs without a block are not one product";
    EXPECT_FALSE(updater::SameProduct({"", "1.0.0"}, {"", "1.0.0"}));

    root.Write("Hard Disk/Lumetra.exe", ProgramFile("Lumetra", "1.0.1", marker));
    const updater::ProductInfo read = updater::ReadProductInfo("\\hard disk\\LUMETRA.EXE");
    EXPECT_EQ(read.name, "Lumetra");
    EXPECT_EQ(read.version, "1.0.1");
    // Cut inside its block, a program has no name; not one of ours has no block at all.
    const std::string whole = ProgramFile("Lumetra", "1.0.1", marker);
    root.Write("Hard Disk/Lumetra.exe", whole.substr(0, whole.find("ProductName") + 14));
    EXPECT_EQ(updater::ReadProductInfo("\\Hard Disk\\Lumetra.exe").name, "");
    root.Write("Hard Disk/Lumetra.exe", "#!/bin/sh\nexit 0\n");
    EXPECT_EQ(updater::ReadProductInfo("\\Hard Disk\\Lumetra.exe").name, "");
    EXPECT_EQ(updater::ReadProductInfo("\\Hard Disk\\Missing.exe").name, "");
}

TEST_F(UpdateStepsTest, TheChecksNameWhatIsMissingAndTakeTheProgramInAnyLetterCase) {
    EXPECT_EQ(updater::CheckUpdateSource("\\Hard Disk"), 0);
    fs::create_directories(root.Path() / "Hard Disk");
    EXPECT_EQ(updater::CheckUpdateSource("\\Hard Disk"), 0);
    ASSERT_EQ(boxes->Count(), 2u);
    EXPECT_EQ(boxes->shown[0].text, updater::kNoUsbDisk);
    EXPECT_EQ(boxes->shown[1].text, updater::kNoUpdateFile);
    for (const auto& box : boxes->shown) {
        EXPECT_EQ(box.title, u"Prompt");
        EXPECT_EQ(box.flags, platform::MB_OK | platform::MB_ICONEXCLAMATION);
    }
    root.Write("Hard Disk/LUMETRA.exe", ProgramFile("Lumetra", "1.0.1", marker));
    EXPECT_EQ(updater::CheckUpdateSource("\\Hard Disk"), 1);
    EXPECT_EQ(boxes->Count(), 2u);
}

TEST_F(UpdateStepsTest, TheCopyTakesTheProgramFirstThenSettingsAndTextsThenHelpWhateverTheirLetterCase) {
    Install(ProgramFile("Lumetra", "1.0.0", marker));
    root.Write("NandFlash/languageCH.ini", "installed texts");
    const std::string update = ProgramFile("Lumetra", "1.0.1", marker);
    root.Write("Hard Disk/lumetra.EXE", update);
    root.Write("Hard Disk/CONFIG.INI", "new settings");
    root.Write("Hard Disk/languageen.ini", "new texts");
    root.Write("Hard Disk/help_otdr.htm", "new help");
    root.Write("Hard Disk/HELP_OTDR_EN.HTM", "new english help");
    // Names that are not the updater's, and a folder named like a language file.
    root.Write("Hard Disk/other.ini", "x");
    root.Write("Hard Disk/Vantrel.exe", "x");
    root.Write("Hard Disk/notes.htm", "x");
    root.Write("Hard Disk/config.ini.bak", "x");
    fs::create_directories(root.Path() / "Hard Disk/languageCH.ini");

    ASSERT_EQ(updater::CopyUpdateFiles("\\Hard Disk", "Lumetra"), 1);
    EXPECT_EQ(boxes->Count(), 0u);
    EXPECT_EQ(root.Read("NandFlash/Lumetra.exe"), update);
    EXPECT_TRUE(Executable("NandFlash/Lumetra.exe"));
    EXPECT_EQ(root.Read("NandFlash/config.ini"), "new settings");
    EXPECT_EQ(root.Read("NandFlash/languageEN.ini"), "new texts");
    EXPECT_EQ(root.Read("NandFlash/languageCH.ini"), "installed texts");
    EXPECT_EQ(root.Read("NandFlash/HELP_OTDR.htm"), "new help");
    EXPECT_EQ(root.Read("NandFlash/HELP_OTDR_En.htm"), "new english help");
    for (const char* name : {"other.ini", "Vantrel.exe", "notes.htm", "config.ini.bak"})
        EXPECT_FALSE(fs::exists(root.Path() / "NandFlash" / name)) << name;
    // The program after the wait for the old one to let go, then the ini files, then the pages.
    EXPECT_EQ(time->SleptMs(), updater::kReleaseWaitMs);
    const std::string lines = Debug();
    const size_t program = lines.find("copied lumetra.EXE");
    const size_t settings = lines.find("copied CONFIG.INI");
    const size_t help = lines.find("copied help_otdr.htm");
    ASSERT_NE(program, std::string::npos) << lines;
    EXPECT_LT(program, settings) << lines;
    EXPECT_LT(settings, help) << lines;
}

TEST_F(UpdateStepsTest, DataFilesThatCannotBeCopiedAreSkippedAndTheRestStillGoes) {
    Install(ProgramFile("Lumetra", "1.0.0", marker));
    root.Write("Hard Disk/Lumetra.exe", ProgramFile("Lumetra", "1.0.1", marker));
    root.Write("Hard Disk/config.ini", "new settings");
    root.Write("Hard Disk/languageEN.ini", "new texts");
    root.Write("Hard Disk/HELP_OTDR.htm", "new help");
    // A folder where the settings go, a FIFO for the texts.
    fs::create_directories(root.Path() / "NandFlash/config.ini");
    fs::remove(root.Path() / "Hard Disk/languageEN.ini");
    ASSERT_EQ(::mkfifo((root.Path() / "Hard Disk/languageEN.ini").c_str(), 0644), 0);

    EXPECT_EQ(updater::CopyUpdateFiles("\\Hard Disk", "Lumetra"), 1);
    EXPECT_EQ(boxes->Count(), 0u);
    EXPECT_TRUE(fs::is_directory(root.Path() / "NandFlash/config.ini"));
    EXPECT_FALSE(fs::exists(root.Path() / "NandFlash/languageEN.ini"));
    EXPECT_EQ(root.Read("NandFlash/HELP_OTDR.htm"), "new help");
}

TEST_F(UpdateStepsTest, AProgramThatCannotBeWrittenLeavesTheOldOneWholeAndTouchesNothingElse) {
    const std::string old = ProgramFile("Lumetra", "1.0.0", marker);
    Install(old);
    root.Write("NandFlash/config.ini", "installed settings");
    root.Write("Hard Disk/Lumetra.exe", ProgramFile("Lumetra", "1.0.1", marker, 64 * 1024));
    root.Write("Hard Disk/config.ini", "new settings");
    {
        // The flash disk full: no file grows past 16 KiB.
        FileSizeLimit full(16 * 1024);
        EXPECT_EQ(updater::CopyUpdateFiles("\\Hard Disk", "Lumetra"), 0);
    }
    EXPECT_EQ(root.Read("NandFlash/Lumetra.exe"), old);
    EXPECT_TRUE(Executable("NandFlash/Lumetra.exe"));
    EXPECT_EQ(root.Read("NandFlash/config.ini"), "installed settings");
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(root.Path() / "NandFlash"))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"Lumetra.exe", "config.ini"})) << "no temporary file left";
    ASSERT_EQ(boxes->Count(), 1u);
    EXPECT_EQ(boxes->shown[0].text, updater::kUpgradeFailed);
    EXPECT_EQ(boxes->shown[0].title, u"Vantrel");
    EXPECT_EQ(boxes->shown[0].flags, platform::MB_OK);
}

TEST_F(UpdateStepsTest, TheCopyInstallsOnlyTheProductThatWasCheckedAndFailsWithoutAProgram) {
    const std::string old = ProgramFile("Lumetra", "1.0.0", marker);
    Install(old);
    // The disk's program changed after the names were compared, or was pulled out.
    root.Write("Hard Disk/Lumetra.exe", ProgramFile("Other", "1.0.1", marker));
    EXPECT_EQ(updater::CopyUpdateFiles("\\Hard Disk", "Lumetra"), 0);
    root.Write("Hard Disk/Lumetra.exe", "#!/bin/sh\nexit 0\n");
    EXPECT_EQ(updater::CopyUpdateFiles("\\Hard Disk", "Lumetra"), 0);
    fs::remove_all(root.Path() / "Hard Disk");
    EXPECT_EQ(updater::CopyUpdateFiles("\\Hard Disk", "Lumetra"), 0);
    EXPECT_EQ(root.Read("NandFlash/Lumetra.exe"), old);
    ASSERT_EQ(boxes->Count(), 3u);
    for (const auto& box : boxes->shown)
        EXPECT_EQ(box.text, updater::kUpgradeFailed);
}

TEST_F(UpdateStepsTest, NothingOutsideTheDeviceRootIsReadOrWritten) {
    TempRoot outside;
    platform::SetDeviceRoot(root.Path());
    const std::string old = ProgramFile("Lumetra", "1.0.0", marker);
    Install(old);
    outside.Write("Lumetra.exe", ProgramFile("Lumetra", "1.0.1", marker));
    outside.Write("config.ini", "the host's settings");
    outside.Write("target.exe", "the host's program");
    fs::create_directories(root.Path() / "Hard Disk");
    fs::create_symlink(outside.Path() / "Lumetra.exe", root.Path() / "Hard Disk/Lumetra.exe");
    fs::create_symlink(outside.Path() / "config.ini", root.Path() / "Hard Disk/config.ini");

    // The disk's program behind a link out of the root is not there, and has no name to compare.
    EXPECT_EQ(updater::CheckUpdateSource("\\Hard Disk"), 0);
    EXPECT_EQ(updater::ReadProductInfo("\\Hard Disk\\Lumetra.exe").name, "");
    EXPECT_EQ(updater::ReadProductInfo("\\Hard Disk\\..\\..\\..\\" + outside.Path().filename().string() +
                                       "\\Lumetra.exe")
                  .name,
              "");
    EXPECT_EQ(updater::CopyUpdateFiles("\\Hard Disk", "Lumetra"), 0);
    EXPECT_EQ(root.Read("NandFlash/Lumetra.exe"), old);
    EXPECT_FALSE(fs::exists(root.Path() / "NandFlash/config.ini"));

    // An installed program that is a link out of the root is neither replaced nor started.
    fs::remove(root.Path() / "Hard Disk/Lumetra.exe");
    root.Write("Hard Disk/Lumetra.exe", ProgramFile("Lumetra", "1.0.1", marker));
    fs::remove(root.Path() / "NandFlash/Lumetra.exe");
    fs::create_symlink(outside.Path() / "target.exe", root.Path() / "NandFlash/Lumetra.exe");
    EXPECT_EQ(updater::CopyUpdateFiles("\\Hard Disk", "Lumetra"), 0);
    EXPECT_EQ(outside.Read("target.exe"), "the host's program");
    EXPECT_EQ(outside.Read("config.ini"), "the host's settings");
}

TEST_F(UpdateStepsTest, TheWorkerInstallsRestartsAndWaitsOrRestartsTheOldProgramOnAnotherName) {
    Install(ProgramFile("Lumetra", "1.0.0", marker));
    const std::string update = ProgramFile("Lumetra", "1.0.1", marker);
    root.Write("Hard Disk/Lumetra.exe", update);
    std::atomic<bool> stop{false};
    EXPECT_EQ(updater::RunUpdate("\\Hard Disk", stop), updater::UpdateEnd::Restarted);
    EXPECT_EQ(root.Read("NandFlash/Lumetra.exe"), update);
    ASSERT_EQ(boxes->Count(), 1u);
    EXPECT_EQ(boxes->shown[0].text, updater::kUpgraded);
    EXPECT_EQ(boxes->shown[0].title, u"Prompt");
    EXPECT_EQ(boxes->shown[0].flags, platform::MB_OK);
    EXPECT_TRUE(Eventually([&] { return fs::exists(marker); }));
    EXPECT_EQ(time->SleptMs(), updater::kReleaseWaitMs + updater::kRestartWaitMs);

    // Letter case makes another product: nothing copied, the old program started again.
    fs::remove(marker);
    const std::string installed = root.Read("NandFlash/Lumetra.exe");
    root.Write("Hard Disk/Lumetra.exe", ProgramFile("lumetra", "1.0.2", marker));
    root.Write("Hard Disk/config.ini", "new settings");
    EXPECT_EQ(updater::RunUpdate("\\Hard Disk", stop), updater::UpdateEnd::Restarted);
    EXPECT_EQ(root.Read("NandFlash/Lumetra.exe"), installed);
    EXPECT_FALSE(fs::exists(root.Path() / "NandFlash/config.ini"));
    ASSERT_EQ(boxes->Count(), 2u);
    EXPECT_EQ(boxes->shown[1].text, updater::kNameMismatch);
    EXPECT_EQ(boxes->shown[1].title, u"Prompt");
    EXPECT_EQ(boxes->shown[1].flags, platform::MB_OK);
    EXPECT_TRUE(Eventually([&] { return fs::exists(marker); }));
}

TEST_F(UpdateStepsTest, TheWorkerRestartsNothingAfterAFailedCopyOrWhenStopped) {
    Install(ProgramFile("Lumetra", "1.0.0", marker));
    root.Write("Hard Disk/Lumetra.exe", ProgramFile("Lumetra", "1.0.1", marker, 64 * 1024));
    std::atomic<bool> stop{false};
    {
        FileSizeLimit full(16 * 1024);
        EXPECT_EQ(updater::RunUpdate("\\Hard Disk", stop), updater::UpdateEnd::CopyFailed);
    }
    stop = true;
    root.Write("Hard Disk/Lumetra.exe", ProgramFile("Other", "1.0.1", marker));
    EXPECT_EQ(updater::RunUpdate("\\Hard Disk", stop), updater::UpdateEnd::Stopped);
    stop = false;
    fs::remove(root.Path() / "NandFlash/Lumetra.exe");
    EXPECT_EQ(updater::RunUpdate("\\Hard Disk", stop), updater::UpdateEnd::RestartFailed);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(fs::exists(marker));
    ASSERT_EQ(boxes->Count(), 3u);
    EXPECT_EQ(boxes->shown[0].text, updater::kUpgradeFailed);
    EXPECT_EQ(boxes->shown[1].text, updater::kNameMismatch);
    EXPECT_EQ(boxes->shown[2].text, updater::kNameMismatch);
}

} // namespace
