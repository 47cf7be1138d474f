#include "instrument/files/ui/CFileDeleteNav.h"

#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/ResourceIds.h"

CFileDeleteNav::CFileDeleteNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kFileDeleteNav, u"FileDelete_nav", {u"删除", u"全部删除", u"切换", u"返回"}),
      screens_(screens) {}

void CFileDeleteNav::OnSlot(int slot) {
    static_cast<void>(slot);
}

void CFileDeleteNav::OnEscape() {}
