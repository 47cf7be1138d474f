#include "instrument/app/CTimeAndPower.h"
#include "instrument/screens/StatusLine.h"
#include "instrument/state/AppState.h"

#include "platform/Clock.h"
#include "platform/DebugOut.h"
#include "platform/Device.h"
#include "simboard/SimBoard.h"

#include "tests/support/TempRoot.h"
#include "tests/support/qt/QtTestApp.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

class StatusBarTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    void SetUp() override {
        simboard::RegisterSimulatedBoard();
        simboard::SimBoard::Instance().Reset();
        LanguageId = 0;
        root.Write(
            "NandFlash/languageEN.ini",
            Utf16Bytes(
                "[timeandpower_body]\r\nwavetest=Test: \r\notdrwavetest=OTDR ready\r\nreadwave=File: \r\n"));
        platform::SetDebugSink([this](std::string_view line) { debug += line; });
    }
    void TearDown() override { platform::SetDebugSink(nullptr); }

    TempRoot root;
    std::string debug;
};

TEST(StatusBarBitmapsTest, BatteryBandsAndOperationCodes) {
    const std::pair<uint8_t, int> levels[] = {{0, 134},  {1, 134},  {2, 135},  {29, 135},
                                              {30, 137}, {54, 137}, {55, 136}, {255, 136}};
    for (const auto& [level, bitmap] : levels)
        EXPECT_EQ(BatteryBitmapFor(level), bitmap) << int(level);
    const int operations[] = {144, 140, 141, 139, 142, 143, 138, 144};
    for (int code = 0; code <= 7; ++code)
        EXPECT_EQ(OperationBitmapFor(code), operations[code]) << code;
    EXPECT_EQ(OperationBitmapFor(-3), 144);
}

TEST_F(StatusBarTest, MessagesTakeTheirPrefixAndOtherKindsChangeNothing) {
    QWidget screen;
    CTimeAndPower bar(&screen);
    EXPECT_EQ(bar.geometry(), QRect(0, 0, 320, 21));
    EXPECT_EQ(bar.Message(), QStringLiteral("OTDR ready"));
    bar.ShowStatus(2, u"Averaging 1310nm");
    EXPECT_EQ(bar.Message(), QStringLiteral("Test: Averaging 1310nm"));
    bar.ShowStatus(3, u"ignored");
    EXPECT_EQ(bar.Message(), QStringLiteral("Test: Averaging 1310nm"));
    bar.ShowStatus(1, u"a.st");
    EXPECT_EQ(bar.Message(), QStringLiteral("File: a.st"));
    bar.SetOperationIcon(5);
    EXPECT_EQ(bar.OperationBitmap(), 143);
    bar.SetOperationIcon(7);
    EXPECT_EQ(bar.OperationBitmap(), 144);
}

TEST_F(StatusBarTest, BatteryFollowsTheDeviceAndAMissingDeviceKeepsTheFullIcon) {
    QWidget screen;
    CTimeAndPower bar(&screen);
    EXPECT_EQ(bar.BatteryBitmap(), 136);
    simboard::SimBoard::Instance().SetBatteryLevel(29);
    bar.RefreshBattery();
    EXPECT_EQ(bar.BatteryBitmap(), 135);
    EXPECT_NE(debug.find("bat = 29 \r\n"), std::string::npos);

    platform::UnregisterDriver("BAT1:");
    CTimeAndPower without(&screen);
    debug.clear();
    // Other calls in between set other errors; the refresh reports the open's own.
    platform::SetLastError(6);
    without.RefreshBattery();
    EXPECT_EQ(without.BatteryBitmap(), 136);
    EXPECT_EQ(debug, "CreateFile otdr failed!\r\nUnable to open , Error No.=2 \r\n");
}

TEST_F(StatusBarTest, BothIconsAreDrawnWholeInsideTheBar) {
    QWidget screen;
    CTimeAndPower bar(&screen);
    simboard::SimBoard::Instance().SetBatteryLevel(0); // the empty battery, drawn at the bitmap's bottom
    bar.RefreshBattery();
    bar.SetOperationIcon(StatusLine::kShiftUp);
    const QImage shown = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int icons = 0;
    for (const QLabel* label : bar.findChildren<QLabel*>()) {
        const QPixmap pixmap = label->pixmap();
        if (pixmap.isNull())
            continue;
        ++icons;
        const QRect drawn(label->geometry().topLeft(), pixmap.size());
        EXPECT_TRUE(bar.rect().contains(drawn)) << drawn.y() << " " << drawn.height();
        QImage expected(pixmap.size(), QImage::Format_RGB32);
        expected.fill(bar.palette().color(QPalette::Window));
        QPainter(&expected).drawPixmap(0, 0, pixmap);
        EXPECT_EQ(shown.copy(drawn), expected) << "icon at " << drawn.x();
    }
    EXPECT_EQ(icons, 2);
}

TEST_F(StatusBarTest, ClockShowsHoursAndMinutes) {
    platform::LocalTime time = platform::GetLocalTime();
    time.hour = 7;
    time.minute = 5;
    ASSERT_TRUE(platform::SetLocalTime(time));
    QWidget screen;
    CTimeAndPower bar(&screen);
    QString shown;
    for (const QLabel* label : bar.findChildren<QLabel*>())
        if (label->text().contains(':') && label->text().size() == 5)
            shown = label->text();
    EXPECT_TRUE(shown == "07:05" || shown == "07:06") << shown.toStdString();
}

} // namespace
