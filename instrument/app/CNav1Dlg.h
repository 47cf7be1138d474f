#pragma once
#include "instrument/app/CNavPanel.h"

class ScreenSwitch;

// The main test panel.
class CNav1Dlg : public CNavPanel {
public:
    CNav1Dlg(QWidget* parent, ScreenSwitch& screens);

    // WM_UPDATE_READOUT: range and pulse width of the current parameters into the status bar.
    void OnUpdateReadout();

protected:
    void OnSlot(int slot) override;

private:
    ScreenSwitch& screens_;
};
