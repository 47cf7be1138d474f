#include "instrument/system/ui/CSystemInfoNav.h"

#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/ResourceIds.h"

CSystemInfoNav::CSystemInfoNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kSystemInfoNav, u"SystemInfo_nav", {u"返回", u"", u"", u""}, 0x1),
      screens_(screens) {}

void CSystemInfoNav::OnSlot(int slot) {
    if (slot == 0)
        screens_.Show(*this, ScreenSwitch::Screen::SystemSet);
}

void CSystemInfoNav::OnEscape() {
    screens_.Show(*this, ScreenSwitch::Screen::SystemSet);
}
