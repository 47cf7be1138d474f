#include "instrument/app/CEventOprNav.h"

#include "instrument/app/ScreenSwitch.h"

CEventOprNav::CEventOprNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, 160, u"", {u"上一个", u"下一个", u"", u"返回"}), screens_(screens) {}

void CEventOprNav::OnSlot(int slot) {
    static_cast<void>(slot);
}

void CEventOprNav::OnEscape() {}
