#include "instrument/app/CCurveOprNav.h"

#include "instrument/app/ScreenSwitch.h"

CCurveOprNav::CCurveOprNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, 138, u"curve_nav", {u"水平缩放", u"垂直缩放", u"波形还原", u"返回"}),
      screens_(screens) {}

void CCurveOprNav::OnSlot(int slot) {
    if (slot == 3)
        screens_.Show(*this, ScreenSwitch::Screen::Main);
}

void CCurveOprNav::OnEscape() {
    screens_.Show(*this, ScreenSwitch::Screen::Main);
}
