#pragma once
#include "instrument/screens/CNavPanel.h"

class ScreenSwitch;

// The event table panel: one button, which leaves the table as F1 and Escape do.
class CEventTblNav : public CNavPanel {
public:
    CEventTblNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;
    bool event(QEvent* event) override;

private:
    ScreenSwitch& screens_;
};
