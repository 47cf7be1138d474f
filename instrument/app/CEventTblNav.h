#pragma once
#include "instrument/app/CNavPanel.h"

class ScreenSwitch;

// The event table panel.
class CEventTblNav : public CNavPanel {
public:
    CEventTblNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;

private:
    ScreenSwitch& screens_;
};
