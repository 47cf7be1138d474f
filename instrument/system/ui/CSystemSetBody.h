#pragma once
#include "instrument/screens/CPane.h"

#include <array>
#include <string>

class QLineEdit;
class QRadioButton;
class QTimer;

// The time and automatic power-off pane. Its five fields follow the running clock until the user types
// into one of them; confirm applies them.
class CSystemSetBody : public CPane {
public:
    enum Field { kYear, kMonth, kDay, kHour, kMinute, kFields };

    explicit CSystemSetBody(QWidget* parent);

    // Timer 1: the fields from the current local time; the clock is live again.
    void OnClockTimer();
    // Timer 1 started again, when typing had stopped it.
    void RestartClock();
    // The time of the five fields to the clock, or the message that says why not.
    void ApplyTime();
    // 1 for automatic power-off on, 0 for off, as the radio buttons say.
    int AutoCloseChoice() const;

    // 1 while the fields follow the running clock.
    int ClockLive = 0;
    QLineEdit* Edit(Field field) const { return fields_[field]; }
    QRadioButton* AutoCloseButton(bool on) const { return on ? autoCloseOn_ : autoCloseOff_; }
    bool ClockRunning() const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Up and Down step through the power-off choice and the five fields; on the choice Left and Right
    // pick on and off.
    void Step(int by);
    void Choose(bool on);
    void ShowMessage(const char16_t* key) const;

    QRadioButton* autoCloseOn_;
    QRadioButton* autoCloseOff_;
    std::array<QLineEdit*, kFields> fields_{};
    QTimer* clock_;
};
