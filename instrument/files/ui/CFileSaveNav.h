#pragma once
#include "instrument/screens/CNavPanel.h"

class ScreenSwitch;

// The save panel.
class CFileSaveNav : public CNavPanel {
public:
    CFileSaveNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;

private:
    ScreenSwitch& screens_;
};
