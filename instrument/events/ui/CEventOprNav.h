#pragma once
#include "instrument/screens/CNavPanel.h"

class ScreenSwitch;

// The event operation panel; it keeps its own captions. Its second button opens the event table as it
// was last filled.
class CEventOprNav : public CNavPanel {
public:
    CEventOprNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    bool event(QEvent* event) override;

private:
    ScreenSwitch& screens_;
};
