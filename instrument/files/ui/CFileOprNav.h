#pragma once
#include "instrument/screens/CNavPanel.h"

class ScreenSwitch;

// The file operation panel.
class CFileOprNav : public CNavPanel {
public:
    CFileOprNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;

private:
    ScreenSwitch& screens_;
};
