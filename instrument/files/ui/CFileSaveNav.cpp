#include "instrument/files/ui/CFileSaveNav.h"

#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/ResourceIds.h"

CFileSaveNav::CFileSaveNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kFileSaveNav, u"FileSave_nav", {u"保存", u"内存", u"U盘", u"返回"}),
      screens_(screens) {}

void CFileSaveNav::OnSlot(int slot) {
    static_cast<void>(slot);
}

void CFileSaveNav::OnEscape() {}
