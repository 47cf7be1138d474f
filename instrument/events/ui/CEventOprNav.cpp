#include "instrument/events/ui/CEventOprNav.h"

#include "instrument/screens/PanelKeyEvent.h"
#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/ResourceIds.h"

#include "platform/DebugOut.h"
#include "platform/VirtualKeys.h"

CEventOprNav::CEventOprNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kEventOprNav, u"", {u"曲线分析", u"事件表", u"", u""}, 0x0, 0x3),
      screens_(screens) {}

void CEventOprNav::OnSlot(int slot) {
    // The curve analysis button has no action.
    if (slot == 1)
        screens_.Show(*this, ScreenSwitch::Screen::EventTable);
}

bool CEventOprNav::event(QEvent* event) {
    if (event->type() != PanelKeyEvent::kType)
        return CNavPanel::event(event);
    platform::DebugOut("CEventOprNav\r\n");
    // The panel traces keys only by its name, but F2 still opens the table as a tap on its button does:
    // on every other panel a soft key and its function key are one, and a user pressing F2 under
    // "事件表" expects the table. No other key, Escape included, has anything to do here.
    const auto* key = static_cast<PanelKeyEvent*>(event);
    if (key->Message() == platform::WM_KEYDOWN && key->VirtualKey() >= platform::VK_F1 &&
        key->VirtualKey() <= platform::VK_F4)
        RunSlot(static_cast<int>(key->VirtualKey() - platform::VK_F1));
    return true;
}
