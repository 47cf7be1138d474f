#pragma once
#include "instrument/app/CNavPanel.h"

class ScreenSwitch;

// The event operation panel; it keeps its own captions.
class CEventOprNav : public CNavPanel {
public:
    CEventOprNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;

private:
    ScreenSwitch& screens_;
};
