#pragma once
#include "instrument/screens/CNavPanel.h"
#include "instrument/state/ResourceIds.h"

class ScreenSwitch;

// The test settings panel: OK, focus to the previous and next control, cancel.
class CSetOtdrNav : public CNavPanel {
public:
    CSetOtdrNav(QWidget* parent, ScreenSwitch& screens);
    int FocusedControl() const { return focused_; }

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;

private:
    void Cancel();

    ScreenSwitch& screens_;
    int focused_ = ctl::kTestWay;
};
