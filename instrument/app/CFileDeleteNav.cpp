#include "instrument/app/CFileDeleteNav.h"

#include "instrument/app/ScreenSwitch.h"

CFileDeleteNav::CFileDeleteNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, 166, u"FileDelete_nav", {u"删除", u"全部删除", u"切换", u"返回"}), screens_(screens) {
}

void CFileDeleteNav::OnSlot(int slot) {
    static_cast<void>(slot);
}

void CFileDeleteNav::OnEscape() {}
