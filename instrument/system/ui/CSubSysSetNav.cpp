#include "instrument/system/ui/CSubSysSetNav.h"

#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/ResourceIds.h"

CSubSysSetNav::CSubSysSetNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kSubSysSetNav, u"SubSysSet_nav", {u"保存返回", u"清除", u"软键盘", u"返回"}),
      screens_(screens) {}

void CSubSysSetNav::OnSlot(int slot) {
    if (slot == 3)
        screens_.Show(*this, ScreenSwitch::Screen::SystemSet);
}

void CSubSysSetNav::OnEscape() {
    screens_.Show(*this, ScreenSwitch::Screen::SystemSet);
}
