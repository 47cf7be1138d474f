#include "instrument/app/CSystemHelpNav.h"

#include "instrument/app/ScreenSwitch.h"

CSystemHelpNav::CSystemHelpNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, 107, u"SystemHelp_nav", {u"上一页", u"下一页", u"目录", u"返回"}), screens_(screens) {
}

void CSystemHelpNav::OnSlot(int slot) {
    if (slot == 3)
        screens_.Show(*this, ScreenSwitch::Screen::Second);
}

void CSystemHelpNav::OnEscape() {
    screens_.Show(*this, ScreenSwitch::Screen::Second);
}
