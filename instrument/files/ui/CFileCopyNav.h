#pragma once
#include "instrument/screens/CNavPanel.h"

class ScreenSwitch;

// The copy panel.
class CFileCopyNav : public CNavPanel {
public:
    CFileCopyNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;

private:
    ScreenSwitch& screens_;
};
