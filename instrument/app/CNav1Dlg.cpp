#include "instrument/app/CNav1Dlg.h"

#include "instrument/app/ScreenSwitch.h"

CNav1Dlg::CNav1Dlg(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, 133, u"Nav1Dlg", {u"曲线操作", u"文件操作", u"事件列表", u"下一页"}),
      screens_(screens) {}

void CNav1Dlg::OnSlot(int slot) {
    static constexpr ScreenSwitch::Screen kTargets[] = {
        ScreenSwitch::Screen::CurveOperation, ScreenSwitch::Screen::FileOperation,
        ScreenSwitch::Screen::EventTable, ScreenSwitch::Screen::Second};
    screens_.Show(*this, kTargets[slot]);
}

void CNav1Dlg::OnUpdateReadout() {}
