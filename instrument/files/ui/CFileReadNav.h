#pragma once
#include "instrument/screens/CNavPanel.h"

#include <string>

class ScreenSwitch;

// The open panel: opens the chosen trace file of the file list into the trace view.
class CFileReadNav : public CNavPanel {
public:
    CFileReadNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;

private:
    void Open();

    ScreenSwitch& screens_;
    std::u16string selectFile_;
    std::u16string falseFile_;
};
