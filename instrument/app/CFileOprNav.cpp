#include "instrument/app/CFileOprNav.h"

#include "instrument/app/ScreenSwitch.h"

CFileOprNav::CFileOprNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, 136, u"FileOpr_nav", {u"保存", u"读取", u"复制", u"删除"}), screens_(screens) {}

void CFileOprNav::OnSlot(int slot) {
    static_cast<void>(slot);
}

void CFileOprNav::OnEscape() {}
