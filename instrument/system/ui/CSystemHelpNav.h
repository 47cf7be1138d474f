#pragma once
#include "instrument/screens/CNavPanel.h"

class ScreenSwitch;

// The help panel.
class CSystemHelpNav : public CNavPanel {
public:
    CSystemHelpNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;

private:
    ScreenSwitch& screens_;
};
