#include "tools/otdrtool/IniCommand.h"

#include "tests/support/TempRoot.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

namespace fs = std::filesystem;

std::string HostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(IniCommandTest, ReadsAndWritesTheInstrumentsFilesInUtf8) {
    TempRoot root;
    const std::string file = (root.Path() / "languageCH.ini").string();
    std::string out, err;
    EXPECT_EQ(RunIniCommand({"get", file, "Nav1Dlg", "firstbutton", "flase"}, out, err), 0);
    EXPECT_EQ(out, "flase\n");
    EXPECT_EQ(RunIniCommand({"set", file, "Nav1Dlg", "firstbutton", "曲线"}, out, err), 0);
    EXPECT_EQ(out, "1\n");
    EXPECT_EQ(root.Read("languageCH.ini"), Utf16Bytes("[Nav1Dlg]\r\nfirstbutton=曲线\r\n"));
    EXPECT_EQ(RunIniCommand({"get", file, "Nav1Dlg", "firstbutton", "x"}, out, err), 0);
    EXPECT_EQ(out, "曲线\n");
    EXPECT_EQ(RunIniCommand({"setint", file, "config", "verno", "-3"}, out, err), 0);
    EXPECT_EQ(out, "1\n");
    EXPECT_EQ(RunIniCommand({"getint", file, "config", "verno", "9"}, out, err), 0);
    EXPECT_EQ(out, "-3\n");
    EXPECT_EQ(RunIniCommand({"getint", file, "config", "none", "9"}, out, err), 0);
    EXPECT_EQ(out, "9\n");
}

TEST(IniCommandTest, RefusalsPrintZeroAndBadUsageIsAnError) {
    TempRoot root;
    const std::string file = (root.Path() / "config.ini").string();
    std::string out, err;
    EXPECT_EQ(RunIniCommand({"set", file, "config", "language", ""}, out, err), 0);
    EXPECT_EQ(out, "0\n");
    EXPECT_EQ(RunIniCommand({"set", (root.Path() / "no/such/dir.ini").string(), "a", "b", "c"}, out, err), 0);
    EXPECT_EQ(out, "0\n");
    out.clear();
    EXPECT_EQ(RunIniCommand({"getint", file, "config", "verno", "x1"}, out, err), 2);
    EXPECT_TRUE(out.empty());
    EXPECT_NE(err.find("not an integer"), std::string::npos);
    EXPECT_EQ(RunIniCommand({"get", file, "config"}, out, err), 2);
    EXPECT_EQ(RunIniCommand({"remove", file, "a", "b", "c"}, out, err), 2);
}

TEST(IniCommandTest, WordsAfterTheVerbAreNeverOptions) {
    TempRoot root;
    const std::string file = (root.Path() / "config.ini").string();
    std::string out, err;
    EXPECT_EQ(RunIniCommand({"get", file, "config", "absent", "--help"}, out, err), 0);
    EXPECT_EQ(out, "--help\n");
    EXPECT_EQ(RunIniCommand({"set", file, "-section", "--key", "-h"}, out, err), 0) << err;
    EXPECT_EQ(out, "1\n");
    EXPECT_EQ(root.Read("config.ini"), Utf16Bytes("[-section]\r\n--key=-h\r\n"));
    EXPECT_EQ(RunIniCommand({"--help"}, out, err), 0);
    EXPECT_EQ(out.rfind("usage: otdrtool ini ", 0), 0u);
}

// What the store would read back otherwise, or what would hide other keys and sections, is refused and
// the file kept as it was; what it reads back as written, "]" in a value say, is still written.
TEST(IniCommandTest, RefusesWhatTheStoreWouldReadAsAnotherLineKeyOrSection) {
    TempRoot root;
    const std::string delivered = HostFile(fs::path(DEVICE_DATA_DIR) / "config.ini");
    ASSERT_FALSE(delivered.empty());
    root.Write("config.ini", delivered);
    const std::string file = (root.Path() / "config.ini").string();
    std::string out, err;
    ASSERT_EQ(RunIniCommand({"get", file, "param", "myRang", "-"}, out, err), 0);
    const std::string range = out;

    const std::string nul(1, '\0');
    const std::vector<std::vector<std::string>> refused = {
        // [config] comes before [param]: its value's second line would be found as [param]'s header.
        {"set", "config", "language", "3\r\n[param]\r\nmyRang=8"},
        {"set", "config", "language", "3\r"},
        {"set", "config", "language", "3\n"},
        {"set", "config", "language", "3" + nul + "4"},
        {"set", "config", "language", "[param]"},
        {"set", "config", "language", "3[4"},   // ends [config] there: verno after it would be lost
        {"set", "param", "myNote", "myRang=8"}, // a new key goes first in its section
        {"set", "param", "a=b", "1"},
        {"set", "param", "[a", "1"},
        {"set", "param", "a]", "1"},
        {"set", "param", "a\rb", "1"},
        {"set", "param", "a\nb", "1"},
        {"set", "param", "a" + nul, "1"},
        {"setint", "param", "my=Rang", "1"},
        {"set", "a=b", "k", "1"},
        {"set", "a[b", "k", "1"},
        {"set", "param]\r\n[x", "k", "1"},
        {"set", "a\r", "k", "1"},
        {"set", "a\n", "k", "1"},
        {"setint", "a" + nul + "b", "k", "1"},
    };
    for (const auto& words : refused) {
        out.clear();
        err.clear();
        const std::string what = words[1] + "/" + words[2] + "/" + words[3];
        EXPECT_EQ(RunIniCommand({words[0], file, words[1], words[2], words[3]}, out, err), 2) << what;
        EXPECT_TRUE(out.empty()) << what;
        EXPECT_EQ(err.rfind("otdrtool ini " + words[0] + ": the ", 0), 0u) << what << ": " << err;
        EXPECT_NE(err.find(" may not hold "), std::string::npos) << what << ": " << err;
        EXPECT_EQ(root.Read("config.ini"), delivered) << what;
    }
    EXPECT_EQ(RunIniCommand({"set", file, "config", "language", "3\r"}, out, err), 2);
    EXPECT_EQ(err, "otdrtool ini set: the value may not hold '[', '=', CR, LF or NUL; this one holds CR\n");
    EXPECT_EQ(RunIniCommand({"set", file, "param", "k]", "1"}, out, err), 2);
    EXPECT_EQ(err,
              "otdrtool ini set: the key may not hold '=', '[', ']', CR, LF or NUL; this one holds ']'\n");

    EXPECT_EQ(RunIniCommand({"set", file, "systemInfo", "edit_email", "a]b (c);d"}, out, err), 0);
    EXPECT_EQ(out, "1\n");
    EXPECT_EQ(RunIniCommand({"get", file, "systemInfo", "edit_email", "-"}, out, err), 0);
    EXPECT_EQ(out, "a]b (c);d\n");
    EXPECT_EQ(RunIniCommand({"get", file, "systemInfo", "edit_tel", "-"}, out, err), 0);
    EXPECT_EQ(out, "+1-555-0147\n");
    EXPECT_EQ(RunIniCommand({"get", file, "param", "myRang", "-"}, out, err), 0);
    EXPECT_EQ(out, range);
}

// A file that is not UTF-16LE text would get UTF-16 appended and read in neither encoding.
TEST(IniCommandTest, WritesOnlyIntoUtf16Text) {
    TempRoot root;
    const std::string file = (root.Path() / "test.ini").string();
    const fs::path sources = DATA_DIR;
    std::string out, err;
    const std::vector<std::pair<std::string, std::string>> notText = {
        {"data/config.ini, UTF-8", HostFile(sources / "config.ini")},
        {"data/lang/languageCH.ini, UTF-8", HostFile(sources / "lang" / "languageCH.ini")},
        {"data/lang/languageEN.ini, ASCII", HostFile(sources / "lang" / "languageEN.ini")},
        {"UTF-8 of even length", "[a]\nk=v\n"},
        {"UTF-8 with its mark", "\xEF\xBB\xBF[a]\nk=v\n\n"},
        {"one byte more than UTF-16", Utf16Bytes("[a]\r\nk=v\r\n") + "\n"},
        {"a single byte", "["},
        {"UTF-16BE with its mark", std::string("\xFE\xFF\0[\0a\0]\0\r\0\n", 12)},
        {"UTF-16BE without one", std::string("\0[\0a\0]\0\r\0\n", 10)},
        {"a mark, then UTF-8", "\xFF\xFE[a]\nk=v\n"},
        {"UTF-16LE holding U+0000", Utf16Bytes("[a]\r\n") + std::string(2, '\0') + Utf16Bytes("k=v\r\n")},
        {"a trace", HostFile(sources / "traces" / "sample_1km.st")},
    };
    for (const auto& [what, bytes] : notText) {
        ASSERT_FALSE(bytes.empty()) << what;
        root.Write("test.ini", bytes);
        for (const char* verb : {"set", "setint"}) {
            out.clear();
            err.clear();
            EXPECT_EQ(RunIniCommand({verb, file, "a", "k", "1"}, out, err), 1) << what << " " << verb;
            EXPECT_TRUE(out.empty()) << what;
            EXPECT_EQ(err, "otdrtool ini " + std::string(verb) + ": " + file +
                               " is not UTF-16LE text; it is left as it is\n")
                << what;
            EXPECT_EQ(root.Read("test.ini"), bytes) << what;
        }
    }

    // The delivered files as built, an empty file, one with nothing but the mark and one with it.
    for (const char* name : {"config.ini", "languageEN.ini", "languageCH.ini"}) {
        const std::string delivered = HostFile(fs::path(DEVICE_DATA_DIR) / name);
        root.Write("test.ini", delivered);
        EXPECT_EQ(RunIniCommand({"setint", file, "added", "k", "7"}, out, err), 0) << name << err;
        EXPECT_EQ(out, "1\n") << name;
        EXPECT_EQ(root.Read("test.ini"), delivered + Utf16Bytes("[added]\r\nk=7\r\n")) << name;
    }
    const std::pair<std::string, std::string> written[] = {
        {"", Utf16Bytes("[a]\r\nk=1\r\n")},
        {"\xFF\xFE", "\xFF\xFE" + Utf16Bytes("[a]\r\nk=1\r\n")},
        {"\xFF\xFE" + Utf16Bytes("[a]\r\nk=曲线\r\n"), "\xFF\xFE" + Utf16Bytes("[a]\r\nk=1\r\n")},
    };
    for (const auto& [before, after] : written) {
        root.Write("test.ini", before);
        EXPECT_EQ(RunIniCommand({"set", file, "a", "k", "1"}, out, err), 0) << err;
        EXPECT_EQ(out, "1\n");
        EXPECT_EQ(root.Read("test.ini"), after);
    }
    fs::remove(file);
    EXPECT_EQ(RunIniCommand({"set", file, "a", "k", "1"}, out, err), 0) << err;
    EXPECT_EQ(root.Read("test.ini"), Utf16Bytes("[a]\r\nk=1\r\n"));
}

} // namespace
