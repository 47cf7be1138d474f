#include "instrument/display/ui/CCurveOprNav.h"

#include "instrument/display/ui/CDataLine.h"
#include "instrument/screens/PanelKeyEvent.h"
#include "instrument/screens/ScreenSwitch.h"
#include "instrument/screens/StatusLine.h"
#include "instrument/state/ResourceIds.h"

#include "platform/DebugOut.h"
#include "platform/VirtualKeys.h"

#include <QPushButton>

namespace {

constexpr const char* kHighlight = "QPushButton { background: rgb(255, 204, 151); color: rgb(214, 0, 174); }";

} // namespace

CCurveOprNav::CCurveOprNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kCurveOprNav, u"curve_nav", {u"水平缩放", u"垂直缩放", u"波形还原", u"返回"}),
      screens_(screens) {}

void CCurveOprNav::Highlight() {
    Button(0)->setStyleSheet(horizontal_ ? kHighlight : "");
    Button(1)->setStyleSheet(vertical_ ? kHighlight : "");
}

void CCurveOprNav::OnSlot(int slot) {
    switch (slot) {
    case 0:
        vertical_ = vertical_ && horizontal_;
        horizontal_ = !horizontal_;
        break;
    case 1:
        horizontal_ = horizontal_ && vertical_;
        vertical_ = !vertical_;
        break;
    case 2:
        horizontal_ = vertical_ = false;
        screens_.TraceView().Operate([](TraceScale& scale) { scale.Restore(); });
        screens_.Status().SetOperationIcon(StatusLine::kNone);
        break;
    default:
        Leave();
        return;
    }
    Highlight();
    screens_.TraceView().setFocus();
}

void CCurveOprNav::OnEscape() {
    Leave();
}

void CCurveOprNav::Leave() {
    horizontal_ = vertical_ = false;
    Highlight();
    screens_.Show(*this, ScreenSwitch::Screen::Main);
    screens_.Status().SetOperationIcon(StatusLine::kNone);
}

bool CCurveOprNav::event(QEvent* event) {
    // The panel's name goes before the key's line that the panel pattern writes.
    if (event->type() == PanelKeyEvent::kType &&
        static_cast<PanelKeyEvent*>(event)->Message() == platform::WM_KEYDOWN)
        platform::DebugOut("CCurveOprNav\r\n");
    return CNavPanel::event(event);
}

void CCurveOprNav::OnKey(uint32_t vk) {
    if (vk != platform::VK_UP && vk != platform::VK_DOWN)
        return;
    const bool up = vk == platform::VK_UP;
    CDataLine& view = screens_.TraceView();
    int operation;
    if (horizontal_) {
        view.Operate([up](TraceScale& s) { up ? s.HorizontalZoomIn() : s.HorizontalZoomOut(); });
        operation = up ? StatusLine::kZoomIn : StatusLine::kZoomOut;
    } else if (vertical_) {
        view.Operate([up](TraceScale& s) { up ? s.VerticalZoomIn() : s.VerticalZoomOut(); });
        operation = up ? StatusLine::kVerticalIn : StatusLine::kVerticalOut;
    } else {
        view.Operate([up](TraceScale& s) { up ? s.ShiftUp() : s.ShiftDown(); });
        operation = up ? StatusLine::kShiftUp : StatusLine::kShiftDown;
    }
    screens_.Status().SetOperationIcon(operation);
}
