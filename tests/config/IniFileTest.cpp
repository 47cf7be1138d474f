#include "instrument/config/IniFile.h"

#include "tests/support/TempRoot.h"

#include <csignal>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int kCannotDropRoot = 99;

// Root opens any file whatever its mode bits, so under root the call runs in a child process as the
// unprivileged user that owns the device root; its exit code is the call's result.
int RunWithoutRoot(const fs::path& deviceRoot, const std::function<int()>& call) {
    if (::geteuid() != 0)
        return call();
    constexpr uid_t kNobody = 65534;
    for (const auto& entry : fs::recursive_directory_iterator(deviceRoot))
        ::lchown(entry.path().c_str(), kNobody, kNobody);
    ::lchown(deviceRoot.c_str(), kNobody, kNobody);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(kCannotDropRoot);
        ::_exit(call());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

class IniFileTest : public ::testing::Test {
protected:
    void Store(const std::string& utf8) { root.Write("NandFlash/test.ini", Utf16Bytes(utf8)); }
    std::string Stored() const { return root.Read("NandFlash/test.ini"); }

    TempRoot root;
    IniFile ini{"\\NandFlash\\test.ini"};
};

TEST_F(IniFileTest, MissingFileGivesDefaultsAndFirstWriteCreatesIt) {
    root.Write("NandFlash/.keep", "");
    EXPECT_EQ(ini.GetString(u"config", u"language", u"3"), u"3");
    EXPECT_EQ(ini.GetInt(u"config", u"verno", 7), 7);
    EXPECT_EQ(ini.SetString(u"config", u"verno", u"0"), 1);
    EXPECT_EQ(Stored(), Utf16Bytes("[config]\r\nverno=0\r\n"));
    EXPECT_EQ(ini.GetInt(u"config", u"verno", 7), 0);
}

TEST_F(IniFileTest, FindsValuesAcrossSectionsAndReadsLastSectionToTheEnd) {
    Store("[a]\r\nk=1\r\nx=one\r\n[b]\r\nk=2\r\nlast=end\r\n");
    EXPECT_EQ(ini.GetString(u"a", u"k", u"-"), u"1");
    EXPECT_EQ(ini.GetString(u"b", u"k", u"-"), u"2");
    EXPECT_EQ(ini.GetString(u"b", u"last", u"-"), u"end");
    // A key of another section is not this section's.
    EXPECT_EQ(ini.GetString(u"b", u"x", u"-"), u"-");
    EXPECT_EQ(ini.SetString(u"b", u"x", u"two"), 1);
    EXPECT_EQ(Stored(), Utf16Bytes("[a]\r\nk=1\r\nx=one\r\n[b]\r\nx=two\r\nk=2\r\nlast=end\r\n"));
}

TEST_F(IniFileTest, MatchingIsLiteralAndCaseSensitive) {
    Store("[s]\r\nedit_tel=123\r\nname =blank\r\nempty=\r\nKey=upper\r\n");
    // The substring rule: "tel=" is found inside the line of "edit_tel".
    EXPECT_EQ(ini.GetString(u"s", u"tel", u"-"), u"123");
    EXPECT_EQ(ini.GetString(u"s", u"name", u"-"), u"-");
    EXPECT_EQ(ini.GetString(u"s", u"empty", u"-"), u"");
    EXPECT_EQ(ini.GetInt(u"s", u"empty", 42), 42);
    EXPECT_EQ(ini.GetString(u"s", u"key", u"flase"), u"flase");
    EXPECT_EQ(ini.GetString(u"S", u"Key", u"-"), u"-");
    // A header needs CR LF right after "]".
    Store("[s] \r\nk=1\r\n[t]\nk=2\r\n");
    EXPECT_EQ(ini.GetString(u"s", u"k", u"-"), u"-");
    EXPECT_EQ(ini.GetString(u"t", u"k", u"-"), u"-");
}

TEST_F(IniFileTest, LastLineWithoutLineEndReadsAsMissingAndCannotBeWritten) {
    Store("[s]\r\na=1\r\nb=2");
    EXPECT_EQ(ini.GetString(u"s", u"b", u"-"), u"-");
    const std::string before = Stored();
    EXPECT_EQ(ini.SetString(u"s", u"b", u"3"), 0);
    EXPECT_EQ(Stored(), before);
    // Other keys stay writable; the new text keeps the unterminated tail as it was.
    EXPECT_EQ(ini.SetString(u"s", u"a", u"9"), 1);
    EXPECT_EQ(Stored(), Utf16Bytes("[s]\r\na=9\r\nb=2"));
}

TEST_F(IniFileTest, WritesReplaceInsertAndAppend) {
    Store("[s]\r\nlong=abcdefgh\r\n");
    EXPECT_EQ(ini.SetString(u"s", u"long", u"x"), 1);
    EXPECT_EQ(Stored(), Utf16Bytes("[s]\r\nlong=x\r\n"));
    EXPECT_EQ(ini.SetString(u"s", u"new", u"n"), 1);
    EXPECT_EQ(Stored(), Utf16Bytes("[s]\r\nnew=n\r\nlong=x\r\n"));
    EXPECT_EQ(ini.SetInt(u"other", u"count", -12), 1);
    EXPECT_EQ(Stored(), Utf16Bytes("[s]\r\nnew=n\r\nlong=x\r\n[other]\r\ncount=-12\r\n"));
    EXPECT_EQ(ini.GetInt(u"other", u"count", 0), -12);
    // Appending goes right after the last character, whatever it is.
    Store("[s]\r\nk=1");
    EXPECT_EQ(ini.SetString(u"t", u"k", u"2"), 1);
    EXPECT_EQ(Stored(), Utf16Bytes("[s]\r\nk=1[t]\r\nk=2\r\n"));
}

TEST_F(IniFileTest, EmptyArgumentsAreRefusedWithoutTouchingTheFile) {
    Store("[s]\r\nk=1\r\n");
    const std::string before = Stored();
    EXPECT_EQ(ini.SetString(u"s", u"k", u""), 0);
    EXPECT_EQ(ini.SetString(u"", u"k", u"1"), 0);
    EXPECT_EQ(ini.SetString(u"s", u"", u"1"), 0);
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(ini.GetString(u"", u"k", u"d"), u"d");
    EXPECT_EQ(ini.GetString(u"s", u"", u"d"), u"d");
}

TEST_F(IniFileTest, OddLengthLosesTheLastByteOnly) {
    Store("[s]\r\nk=1\r\n");
    std::string odd = Stored() + "X";
    root.Write("NandFlash/test.ini", odd);
    EXPECT_EQ(ini.GetString(u"s", u"k", u"-"), u"1");
    EXPECT_EQ(ini.SetString(u"s", u"k", u"2"), 1);
    EXPECT_EQ(Stored(), Utf16Bytes("[s]\r\nk=2\r\n"));
    // A one-byte file holds no whole unit.
    root.Write("NandFlash/test.ini", "[");
    EXPECT_EQ(ini.GetString(u"s", u"k", u"-"), u"-");
}

TEST_F(IniFileTest, EmptyGarbledAndForeignFilesNeverBreakReads) {
    root.Write("NandFlash/test.ini", "");
    EXPECT_EQ(ini.GetString(u"s", u"k", u"-"), u"-");
    EXPECT_EQ(ini.SetString(u"s", u"k", u"v"), 1);
    EXPECT_EQ(Stored(), Utf16Bytes("[s]\r\nk=v\r\n"));

    std::string garbage;
    for (int i = 0; i < 4099; ++i)
        garbage += static_cast<char>((i * 131 + 7) & 0xFF);
    root.Write("NandFlash/test.ini", garbage);
    EXPECT_EQ(ini.GetString(u"s", u"k", u"-"), u"-");
    EXPECT_EQ(ini.SetString(u"s", u"k", u"v"), 1);
    EXPECT_EQ(ini.GetString(u"s", u"k", u"-"), u"v");

    // An eight-bit file: nothing matches, nothing crashes.
    root.Write("NandFlash/test.ini", "[s]\r\nk=1\r\n");
    EXPECT_EQ(ini.GetString(u"s", u"k", u"-"), u"-");

    // A byte-order mark is an ordinary first character.
    root.Write("NandFlash/test.ini", "\xFF\xFE" + Utf16Bytes("[s]\r\nk=1\r\n"));
    EXPECT_EQ(ini.GetString(u"s", u"k", u"-"), u"1");
}

TEST_F(IniFileTest, LargeFileIsReadWhole) {
    std::string text = "[s]\r\n";
    for (int i = 0; i < 20000; ++i)
        text += "key" + std::to_string(i) + "_=" + std::to_string(i * 3) + "\r\n";
    text += "[t]\r\nlast=yes\r\n";
    Store(text);
    EXPECT_EQ(ini.GetString(u"s", u"key19999_", u"-"), u"59997");
    EXPECT_EQ(ini.GetString(u"t", u"last", u"-"), u"yes");
    EXPECT_EQ(ini.SetString(u"t", u"last", u"no"), 1);
    EXPECT_EQ(ini.GetString(u"t", u"last", u"-"), u"no");
    EXPECT_EQ(ini.GetString(u"s", u"key7_", u"-"), u"21");
}

TEST_F(IniFileTest, FailedWriteLeavesTheOldFileWhole) {
    Store("[s]\r\nk=1\r\nother=" + std::string(200, 'x') + "\r\n");
    const std::string before = Stored();
    // A file-size limit below the new text makes the write fail part-way, even for root.
    struct rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = saved;
    tight.rlim_cur = 64;
    ::setrlimit(RLIMIT_FSIZE, &tight);
    const int result = ini.SetString(u"s", u"k", u"2");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(ini.GetString(u"s", u"k", u"-"), u"1");
}

TEST_F(IniFileTest, WriteIntoMissingFolderFailsAndADirectoryIsNoFile) {
    IniFile nowhere("\\NoSuchFolder\\x.ini");
    EXPECT_EQ(nowhere.SetString(u"s", u"k", u"1"), 0);
    EXPECT_EQ(nowhere.GetString(u"s", u"k", u"-"), u"-");
    root.Write("NandFlash/dir.ini/inner", "x");
    IniFile folder("\\NandFlash\\dir.ini");
    EXPECT_EQ(folder.GetString(u"s", u"k", u"-"), u"-");
    EXPECT_EQ(folder.SetString(u"s", u"k", u"1"), 0);
}

TEST_F(IniFileTest, OnlyAMissingFileIsCreatedAndAnUnopenableOneIsLeftAsItWas) {
    Store("[a]\r\nk=1\r\n[b]\r\nk=2\r\n");
    const std::string before = Stored();
    const fs::path file = root.Path() / "NandFlash" / "test.ini";
    for (const fs::perms mode : {fs::perms::owner_write, fs::perms::owner_read}) {
        SCOPED_TRACE(static_cast<int>(mode));
        fs::permissions(file, mode);
        const int result = RunWithoutRoot(root.Path(), [&] { return ini.SetString(u"a", u"k", u"9"); });
        if (result == kCannotDropRoot)
            GTEST_SKIP() << "cannot run as an unprivileged user";
        EXPECT_EQ(result, 0);
        EXPECT_EQ(Stored(), before);
        EXPECT_EQ(fs::status(file).permissions(), mode);
    }

    // A link that only leads round in a circle cannot be opened, by root either.
    const fs::path loop = root.Path() / "NandFlash" / "loop.ini";
    fs::create_symlink("loop.ini", loop);
    EXPECT_EQ(IniFile("\\NandFlash\\loop.ini").SetInt(u"a", u"k", 3), 0);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(loop)));

    fs::remove(file);
    EXPECT_EQ(ini.SetInt(u"a", u"k", 9), 1);
    EXPECT_EQ(Stored(), Utf16Bytes("[a]\r\nk=9\r\n"));
}

TEST_F(IniFileTest, SymlinkedFileIsWrittenThroughItsLink) {
    root.Write("Persist/config.ini", Utf16Bytes("[config]\r\nlanguage=1\r\n"));
    const fs::path link = root.Path() / "NandFlash" / "config.ini";
    fs::create_directories(link.parent_path());
    fs::create_symlink("../Persist/config.ini", link);
    IniFile config("\\NandFlash\\config.ini");
    EXPECT_EQ(config.SetString(u"config", u"language", u"0"), 1);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    EXPECT_EQ(root.Read("Persist/config.ini"), Utf16Bytes("[config]\r\nlanguage=0\r\n"));
    EXPECT_EQ(config.GetString(u"config", u"language", u"-"), u"0");

    // A link to a file not there yet creates the file where the link points.
    fs::remove(root.Path() / "Persist" / "config.ini");
    EXPECT_EQ(config.SetString(u"config", u"verno", u"2"), 1);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    EXPECT_EQ(root.Read("Persist/config.ini"), Utf16Bytes("[config]\r\nverno=2\r\n"));
}

TEST(WideToIntTest, ConvertsLikeTheWideStringConversion) {
    EXPECT_EQ(WideToInt(u"  42abc"), 42);
    EXPECT_EQ(WideToInt(u"\t-7"), -7);
    EXPECT_EQ(WideToInt(u"+3"), 3);
    EXPECT_EQ(WideToInt(u"abc"), 0);
    EXPECT_EQ(WideToInt(u"- 5"), 0);
    EXPECT_EQ(WideToInt(u"99999999999"), 2147483647);
    EXPECT_EQ(WideToInt(u"-99999999999"), -2147483647 - 1);
    EXPECT_EQ(WideToInt(u"1.9"), 1);
}

} // namespace
