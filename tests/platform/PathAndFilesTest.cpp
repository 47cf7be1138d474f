#include "platform/DevicePath.h"
#include "platform/Files.h"
#include "platform/Process.h"

#include "tests/support/TempRoot.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

TEST(DevicePathTest, MatchesExistingComponentsWithoutRegardToCase) {
    TempRoot root;
    root.Write("NandFlash/Config.INI", "x");
    EXPECT_EQ(platform::HostPath("\\Nandflash\\config.ini"), root.Path() / "NandFlash" / "Config.INI");
    EXPECT_EQ(platform::HostPath("/NANDFLASH/new.st"), root.Path() / "NandFlash" / "new.st");
    // Below a missing folder every name stays as written.
    EXPECT_EQ(platform::HostPath("\\Hard Disk\\OTDRDATA\\A.st"),
              root.Path() / "Hard Disk" / "OTDRDATA" / "A.st");
    EXPECT_EQ(platform::HostPath("\\硬盘\\x"), root.Path() / "硬盘" / "x");
    // Paths never leave the device root.
    EXPECT_EQ(platform::HostPath("\\..\\..\\etc\\passwd"), root.Path() / "etc" / "passwd");
    EXPECT_TRUE(platform::SameFileName("Lumetra.EXE", "lumetra.exe"));
    EXPECT_FALSE(platform::SameFileName("Lumetra.exe", "Lumetra.ex"));
}

TEST(DevicePathTest, UsbFolderFollowsTheLocale) {
    setenv("LUMETRA_LOCALE", "0804", 1);
    EXPECT_EQ(platform::UsbDiskRoot(), "\\硬盘");
    setenv("LUMETRA_LOCALE", "0409", 1);
    EXPECT_EQ(platform::UsbDiskRoot(), "\\Hard Disk");
    unsetenv("LUMETRA_LOCALE");
}

TEST(FilesTest, FindListsMatchesSortedAndFindsFoldersByName) {
    TempRoot root;
    root.Write("Hard Disk/OTDRDATA/b.ST", "12");
    root.Write("Hard Disk/OTDRDATA/a.st", "1");
    root.Write("Hard Disk/OTDRDATA/c.sor", "1");
    root.Write("Hard Disk/OTDRDATA/.hidden.st", "1");
    const auto found = platform::FindFiles("\\hard disk\\otdrdata\\*.st");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].name, "a.st");
    EXPECT_EQ(found[1].name, "b.ST");
    EXPECT_EQ(found[1].size, 2u);
    EXPECT_GE(found[0].lastWrite.year, 2020);
    const auto disk = platform::FindFiles("\\HARD DISK");
    ASSERT_EQ(disk.size(), 1u);
    EXPECT_TRUE(disk[0].isDirectory);
    EXPECT_TRUE(platform::FindFiles("\\Missing\\*.st").empty());
    EXPECT_TRUE(platform::WildcardMatch("*.st", "x.ST"));
    EXPECT_TRUE(platform::WildcardMatch("a?c*", "abcdef"));
    EXPECT_FALSE(platform::WildcardMatch("*.st", "x.st.bak"));
}

TEST(FilesTest, CopyDeleteAndCreateBehaveAsOnTheInstrument) {
    TempRoot root;
    root.Write("NandFlash/a.st", "data");
    EXPECT_TRUE(platform::CopyFile("\\NandFlash\\a.st", "\\NandFlash\\b.st", true));
    EXPECT_FALSE(platform::CopyFile("\\NandFlash\\a.st", "\\NandFlash\\b.st", true));
    root.Write("NandFlash/a.st", "newer");
    EXPECT_TRUE(platform::CopyFile("\\NandFlash\\a.st", "\\NandFlash\\b.st", false));
    EXPECT_EQ(root.Read("NandFlash/b.st"), "newer");
    EXPECT_FALSE(platform::CopyFile("\\NandFlash\\none.st", "\\NandFlash\\c.st", false));
    EXPECT_FALSE(platform::CopyFile("\\NandFlash\\a.st", "\\NoFolder\\c.st", false));

    EXPECT_TRUE(platform::CreateDirectory("\\Hard Disk"));
    EXPECT_FALSE(platform::CreateDirectory("\\Hard Disk"));
    EXPECT_FALSE(platform::CreateDirectory("\\A\\B"));
    EXPECT_TRUE(platform::IsDirectory("\\hard disk"));

    EXPECT_TRUE(platform::DeleteFile("\\NandFlash\\B.ST"));
    EXPECT_FALSE(platform::PathExists("\\NandFlash\\b.st"));
    EXPECT_FALSE(platform::DeleteFile("\\NandFlash\\b.st"));
    EXPECT_FALSE(platform::DeleteFile("\\Hard Disk"));
}

TEST(FilesTest, WholeFileWritesAreExecutableOnRequestAndLeaveNoTemporaries) {
    TempRoot root;
    root.Write("NandFlash/.keep", "");
    const uint8_t bytes[] = {1, 2, 3};
    ASSERT_TRUE(platform::WriteWholeFile("\\NandFlash\\Vantrel.exe", bytes, true));
    const auto status = std::filesystem::status(root.Path() / "NandFlash" / "Vantrel.exe");
    EXPECT_NE(status.permissions() & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
    std::vector<uint8_t> back;
    ASSERT_TRUE(platform::ReadWholeFile("\\nandflash\\vantrel.exe", back));
    EXPECT_EQ(back, std::vector<uint8_t>(bytes, bytes + 3));
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(root.Path() / "NandFlash"))
        ++entries;
    EXPECT_EQ(entries, 2u);
    EXPECT_FALSE(platform::WriteWholeFile("\\NoFolder\\x", bytes));
}

TEST(FilesTest, WholeFileWritesKeepTheModeAndGoThroughLinksToTheirTarget) {
    namespace fs = std::filesystem;
    TempRoot root;
    const uint8_t bytes[] = {7, 8};
    const fs::path folder = root.Path() / "NandFlash";
    root.Write("NandFlash/private.ini", "old");
    fs::permissions(folder / "private.ini", fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(platform::WriteWholeFile("\\NandFlash\\private.ini", bytes));
    EXPECT_EQ(root.Read("NandFlash/private.ini"), "\x07\x08");
    EXPECT_EQ(fs::status(folder / "private.ini").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    // Made executable on request, readable by no one more than before.
    ASSERT_TRUE(platform::WriteWholeFile("\\NandFlash\\private.ini", bytes, true));
    EXPECT_EQ(fs::status(folder / "private.ini").permissions(), fs::perms::owner_all);
    ASSERT_TRUE(platform::WriteWholeFile("\\NandFlash\\fresh.ini", bytes));
    EXPECT_EQ(fs::status(folder / "fresh.ini").permissions(), fs::perms::owner_read | fs::perms::owner_write |
                                                                  fs::perms::group_read |
                                                                  fs::perms::others_read);

    // A chain of links, relative and absolute, into another folder: the links stay, the target changes.
    root.Write("Persist/real.ini", "old");
    fs::permissions(root.Path() / "Persist" / "real.ini", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(root.Path() / "Persist" / "real.ini", folder / "hop.ini");
    fs::create_symlink("hop.ini", folder / "config.ini");
    ASSERT_TRUE(platform::WriteWholeFile("\\NandFlash\\config.ini", bytes));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(folder / "config.ini")));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(folder / "hop.ini")));
    EXPECT_EQ(root.Read("Persist/real.ini"), "\x07\x08");
    EXPECT_EQ(fs::status(root.Path() / "Persist" / "real.ini").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    // A link round in a circle is no file to write; a link to a link to a folder neither.
    fs::create_symlink("loop.ini", folder / "loop.ini");
    EXPECT_FALSE(platform::WriteWholeFile("\\NandFlash\\loop.ini", bytes));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(folder / "loop.ini")));
    fs::create_symlink("../Persist", folder / "dirlink");
    EXPECT_FALSE(platform::WriteWholeFile("\\NandFlash\\dirlink", bytes));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(folder / "dirlink")));

    size_t entries = 0;
    for (const fs::path& dir : {folder, root.Path() / "Persist"})
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir))
            ++entries;
    EXPECT_EQ(entries, 6u + 1u);
}

} // namespace

namespace {

TEST(ProcessTest, StartsAProgramWithoutWaitingAndReportsWhatCannotStart) {
    TempRoot root;
    const std::string marker = (root.Path() / "started").string();
    root.Write("NandFlash/Tool.exe", "#!/bin/sh\nsleep 0.2\ntouch '" + marker + "'\n");
    std::filesystem::permissions(root.Path() / "NandFlash/Tool.exe", std::filesystem::perms::owner_all);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_TRUE(platform::StartProgram("\\nandflash\\tool.exe"));
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(150));
    for (int i = 0; i < 300 && !std::filesystem::exists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(std::filesystem::exists(marker));

    EXPECT_FALSE(platform::StartProgram("\\NandFlash\\Missing.exe"));
    root.Write("NandFlash/plain.txt", "not a program");
    EXPECT_FALSE(platform::StartProgram("\\NandFlash\\plain.txt"));
}

} // namespace
