#pragma once
#include "instrument/app/CNavPanel.h"

class ScreenSwitch;

// The curve operation panel: shift and zoom of the trace.
class CCurveOprNav : public CNavPanel {
public:
    CCurveOprNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;

private:
    ScreenSwitch& screens_;
};
