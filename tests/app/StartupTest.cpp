#include "instrument/app/CLumetraApp.h"
#include "instrument/state/AppState.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempRoot.h"

#include "platform/Clock.h"
#include "platform/Resources.h"
#include "simboard/SimBoard.h"

#include <gtest/gtest.h>

namespace {

// Each test runs in its own process: start-up leaves its threads running.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        simboard::RegisterSimulatedBoard();
        platform::SetMessageBoxService(boxes);
        platform::RegisterResource(174, "UPDATA", kImage);
        root.Write("NandFlash/languageCH.ini",
                   Utf16Bytes("[lumetra_app]\r\nIsShutOff=关机吗？\r\nMessageBoxTitle=提示\r\n"));
        root.Write("NandFlash/languageEN.ini",
                   Utf16Bytes("[lumetra_app]\r\nIsShutOff=Switch off?\r\nMessageBoxTitle=Prompt\r\n"));
    }
    void SetYear(int year, int month = 6, int day = 15) {
        platform::LocalTime time = platform::GetLocalTime();
        time.year = year;
        time.month = month;
        time.day = day;
        ASSERT_TRUE(platform::SetLocalTime(time));
    }

    static constexpr uint8_t kImage[] = {'V', 'a', 'n', 't', 'r', 'e', 'l'};
    TempRoot root;
    std::shared_ptr<RecordingMessageBox> boxes = std::make_shared<RecordingMessageBox>();
    static FakeFrontend frontend;
    CLumetraApp app{frontend};
};
FakeFrontend StartupTest::frontend;

TEST_F(StartupTest, YearBeyond2030BecomesAnd2011ChineseFollowsTheLocale) {
    SetYear(2031);
    setenv("LUMETRA_LOCALE", "0804", 1);
    EXPECT_EQ(app.InitInstance(), 18);
    EXPECT_EQ(frontend.runs, 1);
    const platform::LocalTime now = platform::GetLocalTime();
    EXPECT_EQ(now.year, 2011);
    EXPECT_EQ(now.month, 6);
    EXPECT_EQ(LanguageId, 1);
    EXPECT_EQ(ShutOffText, u"关机吗？");
    EXPECT_EQ(MessageTitle, u"提示");
    EXPECT_EQ(UDiskRoot, "\\硬盘");
    EXPECT_TRUE(app.HasAutoCloseThread());
    EXPECT_TRUE(Eventually([&] { return root.Read("NandFlash/Vantrel.exe") == "Vantrel"; }));
    EXPECT_EQ(boxes->Count(), 0u);
}

TEST_F(StartupTest, Year2030StaysEnglishElsewhereAndAutoCloseOnlyWhenEnabled) {
    SetYear(2030);
    setenv("LUMETRA_LOCALE", "0409", 1);
    root.Write("NandFlash/config.ini", Utf16Bytes("[config]\r\nautocloseOnOrOff=0\r\nverno=0\r\n"));
    EXPECT_EQ(app.InitInstance(), 18);
    EXPECT_EQ(platform::GetLocalTime().year, 2030);
    EXPECT_EQ(LanguageId, 0);
    EXPECT_EQ(ShutOffText, u"Switch off?");
    EXPECT_EQ(VersionNumber, 0);
    EXPECT_EQ(AutoCloseOn, 0);
    EXPECT_FALSE(app.HasAutoCloseThread());
    EXPECT_EQ(UDiskRoot, "\\Hard Disk");
}

TEST_F(StartupTest, ChineseUsbNameWithEnglishTextsAndNoTextsForAnUnknownLanguage) {
    setenv("LUMETRA_LOCALE", "0804", 1);
    root.Write("NandFlash/config.ini", Utf16Bytes("[config]\r\nlanguage=7\r\n"));
    app.InitInstance();
    EXPECT_EQ(LanguageId, 7);
    // No file is chosen: the program's own captions stay.
    EXPECT_NE(ShutOffText, u"flase");
    EXPECT_FALSE(ShutOffText.empty());
    EXPECT_EQ(UDiskRoot, "\\硬盘");
}

TEST_F(StartupTest, AClockThatCannotBeSetIsReportedAndStartUpGoesOn) {
    // 29 February 2032 set back to 2011 is no date.
    SetYear(2032, 2, 29);
    EXPECT_EQ(app.InitInstance(), 18);
    ASSERT_EQ(boxes->Count(), 1u);
    EXPECT_EQ(boxes->shown[0].text, u"system year set false");
    EXPECT_EQ(boxes->shown[0].title, u"message");
    EXPECT_EQ(frontend.runs, 1);
}

} // namespace
