#pragma once
#include "instrument/screens/CNavPanel.h"

class ScreenSwitch;

// The open panel.
class CFileReadNav : public CNavPanel {
public:
    CFileReadNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;

private:
    ScreenSwitch& screens_;
};
