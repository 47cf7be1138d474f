#pragma once
#include "instrument/screens/StatusLine.h"

#include "platform/Device.h"

#include <QWidget>
#include <cstdint>
#include <string>

class QLabel;
class QTimer;

// The bitmaps of the battery levels and of the curve operations.
int BatteryBitmapFor(uint8_t level);
int OperationBitmapFor(int code);

// The status bar over the top of the trace view: a message, the operation icon, the clock and the
// battery. The clock is read every second and the battery every ten seconds.
class CTimeAndPower : public QWidget, public StatusLine {
public:
    explicit CTimeAndPower(QWidget* parent);
    ~CTimeAndPower() override;

    void ShowStatus(int kind, const std::u16string& text) override;
    void SetOperationIcon(int code) override;

    // The timers' work, also for tests.
    void RefreshClock();
    void RefreshBattery();

    QString Message() const;
    int BatteryBitmap() const { return batteryBitmap_; }
    int OperationBitmap() const { return operationBitmap_; }

private:
    void ShowBattery(int bitmap);
    void ShowOperation(int bitmap);

    std::u16string readwave_, wavetest_, otdrwavetest_;
    platform::DeviceHandle battery_ = platform::INVALID_HANDLE_VALUE;
    // Why the battery could not be opened, as every refresh reports it.
    uint32_t batteryOpenError_ = 0;
    QLabel* message_;
    QLabel* operation_;
    QLabel* clock_;
    QLabel* batteryIcon_;
    QTimer* clockTimer_;
    QTimer* batteryTimer_;
    int batteryBitmap_ = 0;
    int operationBitmap_ = 0;
};
