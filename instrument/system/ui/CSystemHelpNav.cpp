#include "instrument/system/ui/CSystemHelpNav.h"

#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/ResourceIds.h"
#include "instrument/system/ui/CHelpOTDR.h"

CSystemHelpNav::CSystemHelpNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kSystemHelpNav, u"SystemHelp_nav", {u"上一页", u"下一页", u"目录", u"返回"}),
      screens_(screens) {}

void CSystemHelpNav::OnSlot(int slot) {
    switch (slot) {
    case 0:
        screens_.HelpPane().Back();
        break;
    case 1:
        screens_.HelpPane().Forward();
        break;
    case 2:
        screens_.HelpPane().Home();
        break;
    default:
        OnEscape();
    }
}

void CSystemHelpNav::OnEscape() {
    screens_.Show(*this, ScreenSwitch::Screen::Second);
}
