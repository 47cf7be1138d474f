#pragma once
#include "instrument/files/ui/CFileCopyBody.h"
#include "instrument/screens/CNavPanel.h"

class ScreenSwitch;

// The copy panel: copies between the lists of the copy pane, switches the active list and selects all.
class CFileCopyNav : public CNavPanel {
public:
    CFileCopyNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;
    bool event(QEvent* event) override;

private:
    ScreenSwitch& screens_;
    CFileCopyBody::CopyTexts texts_;
};
