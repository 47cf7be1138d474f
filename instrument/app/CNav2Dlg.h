#pragma once
#include "instrument/screens/CNavPanel.h"

class ScreenSwitch;

// The second main panel: test settings, system settings, help, back.
class CNav2Dlg : public CNavPanel {
public:
    CNav2Dlg(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;

private:
    ScreenSwitch& screens_;
};
