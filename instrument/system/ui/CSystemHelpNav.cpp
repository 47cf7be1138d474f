#include "instrument/system/ui/CSystemHelpNav.h"

#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/ResourceIds.h"

CSystemHelpNav::CSystemHelpNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kSystemHelpNav, u"SystemHelp_nav", {u"上一页", u"下一页", u"目录", u"返回"}),
      screens_(screens) {}

void CSystemHelpNav::OnSlot(int slot) {
    if (slot == 3)
        screens_.Show(*this, ScreenSwitch::Screen::Second);
}

void CSystemHelpNav::OnEscape() {
    screens_.Show(*this, ScreenSwitch::Screen::Second);
}
