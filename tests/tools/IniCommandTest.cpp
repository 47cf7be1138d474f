#include "tools/otdrtool/IniCommand.h"

#include "tests/support/TempRoot.h"

#include <gtest/gtest.h>

namespace {

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

} // namespace
