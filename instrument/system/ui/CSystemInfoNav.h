#pragma once
#include "instrument/screens/CNavPanel.h"

class ScreenSwitch;

// The system information panel.
class CSystemInfoNav : public CNavPanel {
public:
    CSystemInfoNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;

private:
    ScreenSwitch& screens_;
};
