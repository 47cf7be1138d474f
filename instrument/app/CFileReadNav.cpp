#include "instrument/app/CFileReadNav.h"

#include "instrument/app/ScreenSwitch.h"

CFileReadNav::CFileReadNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, 140, u"FileRead_nav", {u"读取", u"切换", u"", u"返回"}, 0xB), screens_(screens) {}

void CFileReadNav::OnSlot(int slot) {
    static_cast<void>(slot);
}

void CFileReadNav::OnEscape() {}
