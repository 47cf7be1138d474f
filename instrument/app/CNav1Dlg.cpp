#include "instrument/app/CNav1Dlg.h"

#include "instrument/acquisition/DriverCalls.h"
#include "instrument/acquisition/SampleRing.h"
#include "instrument/acquisition/TestParameters.h"
#include "instrument/acquisition/TestThread.h"
#include "instrument/acquisition/ui/CSetOtdrBody.h"
#include "instrument/app/CTimeAndPower.h"
#include "instrument/app/TestWindows.h"
#include "instrument/display/ui/CDataLine.h"
#include "instrument/events/ui/CEventLstBody.h"
#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

#include "platform/DebugOut.h"

#include <QPushButton>

namespace {

constexpr int kModuleOffMs = 300000;

} // namespace

CNav1Dlg::CNav1Dlg(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kNav1Dlg, u"Nav1Dlg", {u"曲线操作", u"文件操作", u"事件列表", u"下一页"}),
      screens_(screens) {
    testNames_ = {Text(u"avgtest", u"平均测试"), Text(u"timetest", u"实时测试"),
                  Text(u"autotest", u"自动测试")};
    // The start-test button has no slot of its own; the T key is its way in from the keypad.
    startButton_ = new QPushButton(this);
    startButton_->setVisible(false);
    connect(startButton_, &QPushButton::clicked, this, [this] { StartTest(); });
    moduleOff_.setSingleShot(false);
    connect(&moduleOff_, &QTimer::timeout, this, [] { driver::MeasuringSectionOff(); });
}

CNav1Dlg::~CNav1Dlg() {
    // A test still measuring at exit ends with the process; its windows object outlives this panel.
    if (testThread_.joinable())
        testThread_.detach();
}

void CNav1Dlg::OnSlot(int slot) {
    static constexpr ScreenSwitch::Screen kTargets[] = {
        ScreenSwitch::Screen::CurveOperation, ScreenSwitch::Screen::FileOperation,
        ScreenSwitch::Screen::EventTable, ScreenSwitch::Screen::Second};
    screens_.Show(*this, kTargets[slot]);
}

void CNav1Dlg::EnableSoftKeys(bool enabled) {
    for (int slot = 0; slot < kSlots; ++slot)
        Button(slot)->setEnabled(enabled);
}

int CNav1Dlg::StartTest() {
    if (threadActive_)
        return 0;
    EnableSoftKeys(false);
    if (screens_.TestSettings().Apply() == 0) {
        EnableSoftKeys(true);
        // The T key may have hidden the panel that was shown; without this no soft key would be left.
        screens_.ShowMainPanel();
        return 0;
    }
    // Only a test that starts replaces what is shown: a refused one leaves the events and the trace.
    screens_.EventList().Clear();
    TraceLoaded = 1;
    startRange_ = TestParam.Value(kRangeItem);
    startPulse_ = TestParam.Value(kPulseWidthItem);
    const int way = TestWay.TestMode;
    const std::u16string name = way >= 0 && way < 3 ? testNames_[static_cast<size_t>(way)] : u"";
    const QString status =
        QString::fromStdU16String(name) + QString::asprintf(" %.0f nm", TestParam.Value(kWavelengthItem));
    screens_.Status().ShowStatus(2, status.toStdU16String());
    // The trace now comes from a test: its model takes the parameters just applied.
    screens_.TraceView().SetParametersChanged(true);
    StopRealtimeRequest = 0;
    if (testThread_.joinable())
        testThread_.join();
    if (!windows_)
        windows_ = std::make_shared<TestWindows>(*this, screens_);
    threadActive_ = true;
    testThread_ = std::thread([windows = windows_, time = TestThreadTime] {
        platform::SetThreadTimeSource(time);
        RunTestThread({TestParam, TestWay,
                       EngineContext{TraceRing(), StopRealtimeRequest, InvalidMeter, VersionNumber},
                       TestRunning, *windows});
    });
    screens_.ShowMainPanel();
    return 1;
}

void CNav1Dlg::OnTestThreadDone() {
    threadActive_ = false;
    EnableSoftKeys(true);
    // The automatic test chooses its own range and pulse width.
    if (TestParam.Value(kRangeItem) != startRange_ || TestParam.Value(kPulseWidthItem) != startPulse_)
        OnUpdateReadout();
}

void CNav1Dlg::OnTestFinished() {
    platform::DebugOut("rcv Test finishi\r\n");
    moduleOff_.stop();
    moduleOff_.start(kModuleOffMs);
}

void CNav1Dlg::OnUpdateReadout() {
    const QString text =
        QString::asprintf("%.1f km %.0f ns", TestParam.Value(kRangeItem), TestParam.Value(kPulseWidthItem));
    screens_.Status().ShowStatus(2, text.toStdU16String());
}
