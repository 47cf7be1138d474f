#pragma once
#include "instrument/screens/CNavPanel.h"

class ScreenSwitch;

// The time and power-off panel: confirm or back, the on-screen keyboard, and the typed service codes.
class CSubSysSetNav : public CNavPanel {
public:
    // Opens the invalid-distance pane.
    static constexpr const char* kServiceCode = "7150293";
    // Ends the program, after a question.
    static constexpr const char* kAccessWord = "mirelka";

    CSubSysSetNav(QWidget* parent, ScreenSwitch& screens);

    int KeyboardShown = 0;

protected:
    void OnSlot(int slot) override;
    void OnEscape() override;
    void OnKey(uint32_t vk) override;

private:
    void Confirm();
    void Back();
    void HideKeyboard();
    void TypeDigit(char digit);
    void TypeLetter(char letter);
    bool ServicePaneOpen() const;

    ScreenSwitch& screens_;
};
