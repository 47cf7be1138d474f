#include "instrument/files/ui/CFileCopyNav.h"

#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/ResourceIds.h"

CFileCopyNav::CFileCopyNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kFileCopyNav, u"FileCopy_nav", {u"复制", u"全部复制", u"切换", u"返回"}),
      screens_(screens) {}

void CFileCopyNav::OnSlot(int slot) {
    static_cast<void>(slot);
}

void CFileCopyNav::OnEscape() {}
