#pragma once
#include "instrument/screens/CNavPanel.h"

class ScreenSwitch;

// The delete panel.
class CFileDeleteNav : public CNavPanel {
public:
    CFileDeleteNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;

private:
    ScreenSwitch& screens_;
};
