#include "instrument/app/CNav2Dlg.h"

#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/ResourceIds.h"

CNav2Dlg::CNav2Dlg(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kNav2Dlg, u"Nav2Dlg", {u"测试设置", u"系统设置", u"帮助", u"返回"}),
      screens_(screens) {}

void CNav2Dlg::OnSlot(int slot) {
    static constexpr ScreenSwitch::Screen kTargets[] = {
        ScreenSwitch::Screen::TestSettings, ScreenSwitch::Screen::SystemSet, ScreenSwitch::Screen::Help,
        ScreenSwitch::Screen::Main};
    screens_.Show(*this, kTargets[slot]);
}
