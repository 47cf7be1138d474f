#include "instrument/events/ui/CEventTblNav.h"

#include "instrument/screens/PanelKeyEvent.h"
#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/ResourceIds.h"

#include "platform/DebugOut.h"

CEventTblNav::CEventTblNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kEventTblNav, u"EventTbl_nav", {u"确认", u"", u"", u""}, 0x1, 0x1),
      screens_(screens) {}

void CEventTblNav::OnSlot(int slot) {
    if (slot == 0)
        screens_.Show(*this, ScreenSwitch::Screen::Main);
}

void CEventTblNav::OnEscape() {
    screens_.Show(*this, ScreenSwitch::Screen::Main);
}

bool CEventTblNav::event(QEvent* event) {
    if (event->type() == PanelKeyEvent::kType)
        platform::DebugOut("CEventTblNav\r\n");
    return CNavPanel::event(event);
}
