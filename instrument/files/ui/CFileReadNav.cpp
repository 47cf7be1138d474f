#include "instrument/files/ui/CFileReadNav.h"

#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/ResourceIds.h"

CFileReadNav::CFileReadNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kFileReadNav, u"FileRead_nav", {u"读取", u"切换", u"", u"返回"}, 0xB),
      screens_(screens) {}

void CFileReadNav::OnSlot(int slot) {
    static_cast<void>(slot);
}

void CFileReadNav::OnEscape() {}
