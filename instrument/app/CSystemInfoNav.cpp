#include "instrument/app/CSystemInfoNav.h"

#include "instrument/app/ScreenSwitch.h"

CSystemInfoNav::CSystemInfoNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, 147, u"SystemInfo_nav", {u"返回", u"", u"", u""}, 0x1), screens_(screens) {}

void CSystemInfoNav::OnSlot(int slot) {
    if (slot == 0)
        screens_.Show(*this, ScreenSwitch::Screen::SystemSet);
}

void CSystemInfoNav::OnEscape() {
    screens_.Show(*this, ScreenSwitch::Screen::SystemSet);
}
