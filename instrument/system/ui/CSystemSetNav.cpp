#include "instrument/system/ui/CSystemSetNav.h"

#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/ResourceIds.h"

CSystemSetNav::CSystemSetNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kSystemSetNav, u"SystemSet_nav",
                {u"时间设置", u"系统信息", u"触摸校准", u"软件升级"}),
      screens_(screens) {}

void CSystemSetNav::OnSlot(int slot) {
    if (slot == 0)
        screens_.Show(*this, ScreenSwitch::Screen::SubSysSet);
    if (slot == 1)
        screens_.Show(*this, ScreenSwitch::Screen::SystemInfo);
}

void CSystemSetNav::OnEscape() {
    screens_.Show(*this, ScreenSwitch::Screen::Second);
}
