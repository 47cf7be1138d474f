#pragma once
#include "instrument/screens/CNavPanel.h"

class ScreenSwitch;

// The system settings panel: time and power-off, system information, touch calibration, update.
class CSystemSetNav : public CNavPanel {
public:
    // Where the program that replaces this one lives.
    static constexpr const char* kUpdaterProgram = "\\NandFlash\\Vantrel.exe";
    // Time for the updater to be on its way before this program ends.
    static constexpr int kUpdaterStartMs = 500;

    CSystemSetNav(QWidget* parent, ScreenSwitch& screens);

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;

private:
    void CalibrateTouchScreen();
    void Update();
    void ShowMessage(const std::u16string& text) const;

    ScreenSwitch& screens_;
    bool updating_ = false;
};
