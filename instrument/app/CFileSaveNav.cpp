#include "instrument/app/CFileSaveNav.h"

#include "instrument/app/ScreenSwitch.h"

CFileSaveNav::CFileSaveNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, 139, u"FileSave_nav", {u"保存", u"内存", u"U盘", u"返回"}), screens_(screens) {}

void CFileSaveNav::OnSlot(int slot) {
    static_cast<void>(slot);
}

void CFileSaveNav::OnEscape() {}
