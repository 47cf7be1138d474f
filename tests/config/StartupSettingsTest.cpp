#include "instrument/config/StartupSettings.h"
#include "instrument/config/LanguageTable.h"

#include "tests/support/TempRoot.h"

#include <gtest/gtest.h>

namespace {

class StartupSettingsTest : public ::testing::Test {
protected:
    void Config(const std::string& text) { root.Write("NandFlash/config.ini", Utf16Bytes(text)); }
    TempRoot root;
};

TEST_F(StartupSettingsTest, MissingFileGivesBuiltInValuesAndFollowsTheLocale) {
    const StartupSettings english = ReadStartupSettings("0409");
    EXPECT_EQ(english.languageId, 0);
    EXPECT_EQ(english.autoCloseOn, 1);
    EXPECT_FLOAT_EQ(english.invalidMeter, 0.0f);
    EXPECT_EQ(english.versionNumber, 1);
    EXPECT_EQ(ReadStartupSettings("0804").languageId, 1);
    EXPECT_EQ(ReadStartupSettings("0404").languageId, 0);
}

TEST_F(StartupSettingsTest, StoredValuesWinAndEmptyOnesKeepTheBuiltIn) {
    Config("[config]\r\nlanguage=0\r\nautocloseOnOrOff=0\r\ninvainmeter=12.5 m\r\nverno=0\r\n");
    StartupSettings s = ReadStartupSettings("0804");
    EXPECT_EQ(s.languageId, 0); // English texts on a Chinese system
    EXPECT_EQ(s.autoCloseOn, 0);
    EXPECT_FLOAT_EQ(s.invalidMeter, 12.5f);
    EXPECT_EQ(s.versionNumber, 0);

    Config("[config]\r\nlanguage=\r\nautocloseOnOrOff=\r\ninvainmeter=\r\nverno=\r\n");
    s = ReadStartupSettings("0804");
    EXPECT_EQ(s.languageId, 1);
    EXPECT_EQ(s.autoCloseOn, 1);
    EXPECT_FLOAT_EQ(s.invalidMeter, 0.0f);
    EXPECT_EQ(s.versionNumber, 1);

    Config("[config]\r\nlanguage=7\r\ninvainmeter=abc\r\n");
    s = ReadStartupSettings("0804");
    EXPECT_EQ(s.languageId, 7);
    EXPECT_FLOAT_EQ(s.invalidMeter, 0.0f);
}

TEST_F(StartupSettingsTest, LanguageTablePicksTheFileOrNone) {
    root.Write("NandFlash/languageEN.ini", Utf16Bytes("[Nav1Dlg]\r\nfirstbutton=Trace\r\n"));
    root.Write("NandFlash/languageCH.ini", Utf16Bytes("[Nav1Dlg]\r\nfirstbutton=曲线\r\n"));
    EXPECT_EQ(LanguageTable(0, u"Nav1Dlg").Text(u"firstbutton"), u"Trace");
    EXPECT_EQ(LanguageTable(1, u"Nav1Dlg").Text(u"firstbutton"), u"曲线");
    EXPECT_EQ(LanguageTable(1, u"Nav1Dlg").Text(u"FirstButton"), u"flase");
    EXPECT_EQ(LanguageTable(0, u"Nav2Dlg").Text(u"firstbutton"), u"flase");
    const LanguageTable none(7, u"Nav1Dlg");
    EXPECT_FALSE(none.HasFile());
    EXPECT_FALSE(none.Text(u"firstbutton").has_value());
    EXPECT_EQ(none.TextOr(u"firstbutton", u"曲线操作"), u"曲线操作");
    std::filesystem::remove(root.Path() / "NandFlash/languageEN.ini");
    EXPECT_EQ(LanguageTable(0, u"Nav1Dlg").TextOr(u"firstbutton", u"x"), u"flase");
}

} // namespace
