#pragma once
#include "instrument/screens/CNavPanel.h"

class ScreenSwitch;

// The system settings panel.
class CSystemSetNav : public CNavPanel {
public:
    CSystemSetNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;

private:
    ScreenSwitch& screens_;
};
