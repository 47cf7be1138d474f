#include "instrument/files/ui/CFileOprNav.h"

#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/ResourceIds.h"

CFileOprNav::CFileOprNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kFileOprNav, u"FileOpr_nav", {u"保存", u"读取", u"复制", u"删除"}),
      screens_(screens) {}

void CFileOprNav::OnSlot(int slot) {
    static_cast<void>(slot);
}

void CFileOprNav::OnEscape() {}
