#include "instrument/app/CEventTblNav.h"

#include "instrument/app/PanelKeyEvent.h"
#include "instrument/app/ScreenSwitch.h"

#include "platform/DebugOut.h"

CEventTblNav::CEventTblNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, 143, u"EventTbl_nav", {u"确认", u"", u"", u""}, 0x1, 0x1), screens_(screens) {}

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
