#include "tests/e2e/ProgramRun.h"
#include "tests/support/TempRoot.h"

#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// Lumetra started on a provisioned root with a script that only quits, which ends it with 18.
class StartupFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const ProgramRun provisioned = ProvisionRoot(root.Path());
        ASSERT_EQ(provisioned.exitCode, 0) << provisioned.errors;
        std::ofstream(root.Path() / "quit.txt") << "quit\n";
    }

    ProgramRun StartAndQuit() const {
        ProgramStart start;
        start.program = "Lumetra";
        start.arguments = {"--script", (root.Path() / "quit.txt").string()};
        start.workDir = root.Path();
        start.environment["LUMETRA_ROOT"] = root.Path().string();
        start.environment["QT_QPA_PLATFORM"] = "offscreen";
        start.environment["LUMETRA_LOCALE"] = "0409";
        // A start takes well under a second; a reader stuck in a FIFO never ends.
        start.timeoutMs = 20000;
        return RunProgram(start);
    }

    TempRoot root;
};

void PutOld(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "half written";
    const struct timespec hourAgo { ::time(nullptr) - 3600, 0 };
    const struct timespec times[2] = {hourAgo, hourAgo};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0) << file;
}

TEST_F(StartupFilesTest, AStartRemovesWhatKilledWritersLeftInTheFoldersItWrites) {
    const fs::path flash = root.Path() / "NandFlash";
    const fs::path disk = root.Path() / "Hard Disk" / "OTDRDATA";
    fs::create_directories(disk);
    std::ofstream(disk / "a.st", std::ios::binary) << "trace";
    const fs::path stale[] = {root.Path() / ".lumetra-a1B2c3", flash / ".lumetra-Q1w2E3",
                              flash / ".config.ini.Xy12Ab", disk / ".a.st.part"};
    for (const fs::path& file : stale)
        PutOld(file);
    // Another writer's young one, a user's look-alike beside no file, a folder Lumetra never writes.
    const fs::path kept[] = {disk / ".lumetra-y0Ung1", flash / ".notes.txt.part",
                             root.Path() / "scenarios" / ".lumetra-e1se00"};
    std::ofstream(kept[0]) << "busy";
    PutOld(kept[1]);
    PutOld(kept[2]);

    const ProgramRun run = StartAndQuit();
    EXPECT_EQ(run.exitCode, 18) << run.errors;
    for (const fs::path& file : stale)
        EXPECT_FALSE(fs::exists(file)) << file;
    for (const fs::path& file : kept)
        EXPECT_TRUE(fs::exists(file)) << file;
    EXPECT_EQ(root.Read("Hard Disk/OTDRDATA/a.st"), "trace");
}

TEST_F(StartupFilesTest, AFifoInPlaceOfTheSettingsOrTheTextsNeverHoldsUpTheStart) {
    for (const char* name : {"config.ini", "languageEN.ini"}) {
        SCOPED_TRACE(name);
        const fs::path file = root.Path() / "NandFlash" / name;
        const fs::path aside = root.Path() / name;
        fs::rename(file, aside);
        ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
        const ProgramRun run = StartAndQuit();
        EXPECT_EQ(run.exitCode, 18) << run.errors;
        fs::remove(file);
        fs::rename(aside, file);
    }
}

} // namespace
