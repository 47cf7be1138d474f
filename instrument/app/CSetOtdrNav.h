#pragma once
#include "instrument/app/CNavPanel.h"

class ScreenSwitch;

// The test settings panel.
class CSetOtdrNav : public CNavPanel {
public:
    CSetOtdrNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;

private:
    ScreenSwitch& screens_;
};
