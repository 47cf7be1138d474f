#pragma once
#include "instrument/screens/CNavPanel.h"

class ScreenSwitch;

// The time and power-off panel.
class CSubSysSetNav : public CNavPanel {
public:
    CSubSysSetNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;

private:
    ScreenSwitch& screens_;
};
