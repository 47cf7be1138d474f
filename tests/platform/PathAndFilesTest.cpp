#include "platform/DevicePath.h"
#include "platform/Files.h"
#include "platform/Process.h"

#include "tests/support/TempRoot.h"

#include <algorithm>
#include <chrono>
#include <fstream>
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

TEST(DevicePathTest, NoSpellingOfTheRootLetsAPathLeaveIt) {
    namespace fs = std::filesystem;
    TempRoot base;
    const fs::path real = fs::canonical(base.Path()) / "real";
    fs::create_directories(real / "NandFlash");
    fs::create_symlink(real, base.Path() / "alias");
    base.Write("secret.txt", "not the device's");
    const fs::path alias = base.Path() / "alias";
    const std::string spellings[] = {
        real.string() + "/", real.string() + "/./", real.string() + "/../real",  real.string() + "/../real/",
        alias.string(),      alias.string() + "/",  alias.string() + "/../alias"};
    const uint8_t bytes[] = {'e'};
    for (const std::string& spelling : spellings) {
        SCOPED_TRACE(spelling);
        platform::SetDeviceRoot(spelling);
        std::vector<uint8_t> read;
        EXPECT_FALSE(platform::ReadWholeFile("NandFlash\\..\\..\\..\\..\\..\\..\\..\\etc\\passwd", read));
        EXPECT_FALSE(platform::ReadWholeFile("NandFlash\\..\\..\\secret.txt", read));
        EXPECT_FALSE(platform::PathExists("\\..\\secret.txt"));
        // ".." stops at the root: the file lands in it.
        ASSERT_TRUE(platform::WriteWholeFile("NandFlash\\..\\..\\escaped.txt", bytes));
        EXPECT_FALSE(fs::exists(base.Path() / "escaped.txt"));
        EXPECT_TRUE(fs::remove(real / "escaped.txt"));
        ASSERT_TRUE(platform::WriteWholeFile("\\nandflash\\in.ini", bytes));
        EXPECT_TRUE(platform::ReadWholeFile("\\NandFlash\\IN.INI", read));
        EXPECT_TRUE(fs::remove(real / "NandFlash" / "in.ini"));
        fs::path location;
        ASSERT_TRUE(platform::ResolveInRoot("\\NandFlash\\..\\..\\x", location));
        EXPECT_EQ(location, real / "x");
    }
    platform::SetDeviceRoot(base.Path());
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

TEST(FilesTest, LinksInTheRootNeverReachWhatLiesOutsideIt) {
    namespace fs = std::filesystem;
    TempRoot root;
    // A folder of the host beside the root, removed with it.
    const fs::path outside = root.Path() / ".." / (root.Path().filename().string() + "-outside");
    struct Remove {
        fs::path path;
        ~Remove() { fs::remove_all(path); }
    } removeOutside{outside};
    fs::create_directories(outside / "dir");
    std::ofstream(outside / "secret.txt") << "secret";
    root.Write("NandFlash/a.ini", "inside");
    root.Write("Persist/.keep", "");
    const fs::path folder = root.Path() / "NandFlash";
    fs::create_symlink(fs::canonical(outside), folder / "out");
    fs::create_symlink("../../" + outside.filename().string(), folder / "up");
    fs::create_symlink(outside / "secret.txt", folder / "secret.ini");
    fs::create_symlink(outside / "new.ini", folder / "new.ini");
    fs::create_symlink("../Persist", folder / "in");

    const uint8_t bytes[] = {'w'};
    std::vector<uint8_t> read;
    platform::LocalTime time;
    for (const char* path :
         {"\\NandFlash\\out\\secret.txt", "\\NandFlash\\up\\secret.txt", "\\NandFlash\\secret.ini"}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(platform::ReadWholeFile(path, read));
        EXPECT_FALSE(platform::PathExists(path));
        EXPECT_FALSE(platform::GetLastWriteTime(path, time));
        EXPECT_FALSE(platform::DeleteFile(path));
        EXPECT_FALSE(platform::WriteWholeFile(path, bytes));
        EXPECT_FALSE(platform::CopyFile(path, "\\NandFlash\\copy.ini", false));
        EXPECT_FALSE(platform::CopyFile("\\NandFlash\\a.ini", path, false));
    }
    EXPECT_FALSE(platform::WriteWholeFile("\\NandFlash\\new.ini", bytes));
    EXPECT_FALSE(platform::WriteWholeFile("\\NandFlash\\out\\w.txt", bytes));
    EXPECT_FALSE(platform::CopyFile("\\NandFlash\\a.ini", "\\NandFlash\\up\\c.txt", false));
    EXPECT_FALSE(platform::CreateDirectory("\\NandFlash\\out\\made"));
    EXPECT_FALSE(platform::IsDirectory("\\NandFlash\\out\\dir"));
    EXPECT_TRUE(platform::FindFiles("\\NandFlash\\out\\*").empty());
    EXPECT_TRUE(platform::FindFiles("\\NandFlash\\up\\dir").empty());
    std::vector<std::string> listed;
    for (const platform::FindData& found : platform::FindFiles("\\NandFlash\\*"))
        listed.push_back(found.name);
    EXPECT_EQ(listed, (std::vector<std::string>{"a.ini", "in"}));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(outside))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"dir", "secret.txt"}));
    EXPECT_FALSE(fs::exists(folder / "copy.ini"));

    // A link that stays inside works as the folder it leads to.
    EXPECT_TRUE(platform::CopyFile("\\NandFlash\\a.ini", "\\NandFlash\\in\\b.ini", true));
    EXPECT_EQ(root.Read("Persist/b.ini"), "inside");
    EXPECT_TRUE(platform::IsDirectory("\\NandFlash\\in"));
    ASSERT_EQ(platform::FindFiles("\\NandFlash\\in\\*.ini").size(), 1u);
    EXPECT_TRUE(platform::DeleteFile("\\NandFlash\\in\\b.ini"));
    EXPECT_FALSE(fs::exists(root.Path() / "Persist" / "b.ini"));
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

    // A link out of the device root starts nothing, though what it leads to is a program.
    TempRoot outside;
    platform::SetDeviceRoot(root.Path());
    const std::string outsideMarker = (outside.Path() / "started").string();
    outside.Write("tool.sh", "#!/bin/sh\ntouch '" + outsideMarker + "'\n");
    std::filesystem::permissions(outside.Path() / "tool.sh", std::filesystem::perms::owner_all);
    std::filesystem::create_symlink(outside.Path() / "tool.sh", root.Path() / "NandFlash" / "Out.exe");
    EXPECT_FALSE(platform::StartProgram("\\NandFlash\\Out.exe"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(std::filesystem::exists(outsideMarker));
}

} // namespace
