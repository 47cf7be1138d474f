#pragma once
#include "instrument/app/CNavPanel.h"

class ScreenSwitch;

// The main test panel.
class CNav1Dlg : public CNavPanel {
public:
    CNav1Dlg(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;

private:
    ScreenSwitch& screens_;
};
