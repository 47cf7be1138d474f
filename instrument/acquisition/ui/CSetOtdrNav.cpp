#include "instrument/acquisition/ui/CSetOtdrNav.h"

#include "instrument/acquisition/TestParameters.h"
#include "instrument/acquisition/ui/CSetOtdrBody.h"
#include "instrument/display/ui/CDataLine.h"
#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/ResourceIds.h"

CSetOtdrNav::CSetOtdrNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kSetOtdrNav, u"SetOtdr_nav", {u"确定", u"上一项", u"下一项", u"取消"}),
      screens_(screens) {}

void CSetOtdrNav::OnSlot(int slot) {
    CSetOtdrBody& body = screens_.TestSettings();
    switch (slot) {
    case 0: {
        const float range = TestParam.Value(kRangeItem);
        const float pulse = TestParam.Value(kPulseWidthItem);
        const TestParameterTable applied = TestParam;
        const TestWayPair way = TestWay;
        if (!body.Apply())
            return;
        // Settings the flash did not take are not used either: the next start would not have them.
        if (!body.Save()) {
            TestParam = applied;
            TestWay = way;
            return;
        }
        screens_.TraceView().SetParametersChanged(true);
        screens_.Show(*this, ScreenSwitch::Screen::Main);
        if (TestParam.Value(kRangeItem) != range || TestParam.Value(kPulseWidthItem) != pulse)
            screens_.UpdateReadout();
        break;
    }
    case 1:
    case 2: {
        // A hidden or greyed control is passed over; with none further that takes input, the focus stays.
        const int step = slot == 1 ? -1 : 1;
        for (int id = focused_ + step; id >= CSetOtdrBody::kFirstControl && id <= CSetOtdrBody::kLastControl;
             id += step) {
            if (body.TakesInput(id)) {
                focused_ = id;
                break;
            }
        }
        body.FocusControl(focused_);
        break;
    }
    default:
        Cancel();
    }
}

void CSetOtdrNav::OnEscape() {
    Cancel();
}

void CSetOtdrNav::Cancel() {
    focused_ = CSetOtdrBody::kLastControl;
    screens_.TestSettings().Restore();
    screens_.Show(*this, ScreenSwitch::Screen::Main);
}
