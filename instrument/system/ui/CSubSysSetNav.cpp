#include "instrument/system/ui/CSubSysSetNav.h"

#include "instrument/acquisition/ui/CSetInvalidMeterBody.h"
#include "instrument/config/IniFile.h"
#include "instrument/config/SettingsKeys.h"
#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"
#include "instrument/state/WindowMessages.h"
#include "instrument/system/ui/CSystemSetBody.h"

#include "platform/DebugOut.h"
#include "platform/InputPanel.h"
#include "platform/MessageBox.h"
#include "platform/VirtualKeys.h"

#include <QTimer>
#include <algorithm>
#include <cctype>
#include <string_view>

CSubSysSetNav::CSubSysSetNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kSubSysSetNav, u"SubSysSet_nav", {u"保存返回", u"清除", u"软键盘", u"返回"}),
      screens_(screens) {}

void CSubSysSetNav::OnSlot(int slot) {
    switch (slot) {
    case 0:
        Confirm();
        break;
    case 1:
        TypedCode.clear();
        break;
    case 2:
        // Whatever hid the keyboard last, this key turns it round from what is on the screen.
        KeyboardShown = platform::InputPanelShown() ? 0 : 1;
        platform::ShowInputPanel(KeyboardShown == 1);
        break;
    default:
        Back();
    }
}

void CSubSysSetNav::OnEscape() {
    // Over the invalid-distance pane Escape is that pane's cancel; the screen stays.
    if (ServicePaneOpen())
        screens_.InvalidMeterPane().Cancel();
    else
        Back();
}

void CSubSysSetNav::OnKey(uint32_t vk) {
    if (vk == platform::VK_RETURN) {
        // Enter is the invalid-distance pane's OK, and nothing else here.
        if (ServicePaneOpen())
            screens_.InvalidMeterPane().Accept();
    } else if (vk >= '0' && vk <= '9') {
        TypeDigit(static_cast<char>(vk));
    } else if (vk >= 'A' && vk <= 'Z') {
        TypeLetter(static_cast<char>(std::tolower(static_cast<int>(vk))));
    }
}

bool CSubSysSetNav::ServicePaneOpen() const {
    return !screens_.InvalidMeterPane().isHidden();
}

void CSubSysSetNav::HideKeyboard() {
    platform::ShowInputPanel(false);
    KeyboardShown = 0;
}

void CSubSysSetNav::Confirm() {
    HideKeyboard();
    CSystemSetBody& body = screens_.SystemSetPane();
    body.ApplyTime();
    AutoCloseOn = body.AutoCloseChoice();
    if (!IniFile(settings::kConfigFile).SetInt(settings::kConfig, settings::kAutoClose, AutoCloseOn))
        platform::DebugOut("autocloseOnOrOff not stored\r\n");
    screens_.InvalidMeterPane().Store();
    screens_.ApplyAutoClose();
    screens_.Show(*this, ScreenSwitch::Screen::SystemSet);
}

void CSubSysSetNav::Back() {
    screens_.SystemSetPane().RestartClock();
    HideKeyboard();
    screens_.Show(*this, ScreenSwitch::Screen::SystemSet);
}

void CSubSysSetNav::TypeDigit(char digit) {
    const std::string_view code = kServiceCode;
    if (code.find(digit) == std::string_view::npos)
        return;
    TypedCode += digit;
    if (TypedCode.find(code) == std::string::npos)
        return;
    TypedCode.clear();
    // Once the code's last key has reached the control it was typed into: not the pane's edit too.
    QTimer::singleShot(0, this, [this] {
        CSetInvalidMeterBody& pane = screens_.InvalidMeterPane();
        // The pane's own OK and cancel come back to the time pane, this panel staying.
        pane.SetOnClosed([this] { screens_.ReplaceBody(screens_.SystemSetPane()); });
        screens_.ReplaceBody(pane);
        pane.Open();
        if (KeyboardShown == 1)
            platform::ShowInputPanel(true);
    });
}

void CSubSysSetNav::TypeLetter(char letter) {
    const std::string_view word = kAccessWord;
    if (word.find(letter) == std::string_view::npos)
        return;
    TypedCode += letter;
    std::transform(TypedCode.begin(), TypedCode.end(), TypedCode.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    if (TypedCode.find(word) == std::string::npos)
        return;
    if (platform::MessageBox(u"exit application?", u"Lumetra", platform::MB_OK) == platform::IDOK) {
        screens_.PostQuit(kQuitExitCode);
        HideKeyboard();
        TypedCode.clear();
    }
}
