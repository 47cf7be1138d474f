#include "instrument/app/CTimeAndPower.h"

#include "instrument/acquisition/DriverCalls.h"
#include "instrument/config/LanguageTable.h"
#include "instrument/screens/Bitmaps.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

#include "platform/Clock.h"
#include "platform/DebugOut.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPalette>
#include <QTimer>

namespace {

QString Text(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

} // namespace

int BatteryBitmapFor(uint8_t level) {
    if (level < 2)
        return bmp::kBatteryEmpty;
    if (level < 30)
        return bmp::kBatteryLow;
    if (level < 55)
        return bmp::kBatteryHalf;
    return bmp::kBatteryFull;
}

int OperationBitmapFor(int code) {
    static constexpr int kBitmaps[] = {bmp::kShiftUp, bmp::kShiftDown,      bmp::kZoomIn,
                                       bmp::kZoomOut, bmp::kVerticalZoomIn, bmp::kVerticalZoomOut};
    return code >= StatusLine::kShiftUp && code <= StatusLine::kVerticalOut ? kBitmaps[code - 1]
                                                                            : bmp::kNoOperation;
}

CTimeAndPower::CTimeAndPower(QWidget* parent) : QWidget(parent) {
    const LanguageTable texts(LanguageId, u"timeandpower_body");
    readwave_ = texts.TextOr(u"readwave", u"读取波形：");
    wavetest_ = texts.TextOr(u"wavetest", u"波形测试：");
    otdrwavetest_ = texts.TextOr(u"otdrwavetest", u"OTDR波形测试");
    battery_ = platform::OpenDevice("BAT1:");
    if (battery_ == platform::INVALID_HANDLE_VALUE)
        batteryOpenError_ = platform::GetLastError();

    setGeometry(0, 0, 320, 21);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0, 150, 200));
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);
    const int lineHeight = fontMetrics().height();
    message_ = new QLabel(this);
    message_->setGeometry(5, 3, 230, lineHeight);
    operation_ = new QLabel(this);
    // Both icons whole inside the 21-pixel bar: the low battery levels are drawn at the bitmap's bottom.
    operation_->setGeometry(235, 1, 20, 20);
    clock_ = new QLabel(this);
    clock_->setGeometry(257, 3, fontMetrics().horizontalAdvance(QStringLiteral("HH:MM")), lineHeight);
    batteryIcon_ = new QLabel(this);
    batteryIcon_->setGeometry(295, 1, 10, 19);

    RefreshClock();
    message_->setText(Text(otdrwavetest_));
    raise();
    clockTimer_ = new QTimer(this);
    clockTimer_->callOnTimeout(this, &CTimeAndPower::RefreshClock);
    clockTimer_->start(1000);
    batteryTimer_ = new QTimer(this);
    batteryTimer_->callOnTimeout(this, &CTimeAndPower::RefreshBattery);
    batteryTimer_->start(10000);
    ShowBattery(bmp::kBatteryFull);
    ShowOperation(bmp::kNoOperation);
}

CTimeAndPower::~CTimeAndPower() {
    if (battery_ != platform::INVALID_HANDLE_VALUE)
        platform::CloseDevice(battery_);
}

void CTimeAndPower::ShowStatus(int kind, const std::u16string& text) {
    if (kind == 1)
        message_->setText(Text(readwave_ + text));
    else if (kind == 2)
        message_->setText(Text(wavetest_ + text));
}

void CTimeAndPower::SetOperationIcon(int code) {
    ShowOperation(bmp::kNoOperation);
    ShowOperation(OperationBitmapFor(code));
}

void CTimeAndPower::RefreshClock() {
    const platform::LocalTime now = platform::GetLocalTime();
    clock_->setText(QString::asprintf("%.2d:%.2d", now.hour, now.minute));
}

void CTimeAndPower::RefreshBattery() {
    if (battery_ == platform::INVALID_HANDLE_VALUE) {
        driver::ReportOpenFailure(batteryOpenError_);
        return;
    }
    uint8_t level = 0;
    if (!driver::ReadBatteryLevel(battery_, level))
        return;
    ShowBattery(BatteryBitmapFor(level));
    platform::DebugOut("bat = %d \r\n", level);
}

QString CTimeAndPower::Message() const {
    return message_->text();
}

void CTimeAndPower::ShowBattery(int bitmap) {
    batteryBitmap_ = bitmap;
    batteryIcon_->setPixmap(Bitmap(bitmap));
}

void CTimeAndPower::ShowOperation(int bitmap) {
    operationBitmap_ = bitmap;
    operation_->setPixmap(Bitmap(bitmap));
}
