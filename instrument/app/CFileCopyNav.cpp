#include "instrument/app/CFileCopyNav.h"

#include "instrument/app/ScreenSwitch.h"

CFileCopyNav::CFileCopyNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, 142, u"FileCopy_nav", {u"复制", u"全部复制", u"切换", u"返回"}), screens_(screens) {}

void CFileCopyNav::OnSlot(int slot) {
    static_cast<void>(slot);
}

void CFileCopyNav::OnEscape() {}
