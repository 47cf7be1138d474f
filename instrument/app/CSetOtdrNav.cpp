#include "instrument/app/CSetOtdrNav.h"

#include "instrument/app/ScreenSwitch.h"

CSetOtdrNav::CSetOtdrNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, 144, u"SetOtdr_nav", {u"确定", u"上一项", u"下一项", u"取消"}), screens_(screens) {}

void CSetOtdrNav::OnSlot(int slot) {
    static_cast<void>(slot);
}

void CSetOtdrNav::OnEscape() {
    screens_.Show(*this, ScreenSwitch::Screen::Main);
}
