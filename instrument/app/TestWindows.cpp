#include "instrument/app/TestWindows.h"

#include "instrument/acquisition/SampleRing.h"
#include "instrument/acquisition/TraceConsumer.h"
#include "instrument/acquisition/TraceData.h"
#include "instrument/app/CNav1Dlg.h"
#include "instrument/display/ui/CDataLine.h"
#include "instrument/screens/ScreenSwitch.h"

#include "platform/qt/UiThread.h"

TestWindows::TestWindows(CNav1Dlg& panel, ScreenSwitch& screens) : panel_(&panel), screens_(screens) {}

TestWindows::~TestWindows() = default;

template <typename Step> void TestWindows::OnUiThread(Step step) {
    platform::SendToUiThread([this, &step] {
        if (panel_)
            step();
    });
}

void TestWindows::BuildLiveModel() {
    OnUiThread([this] {
        CDataLine& view = screens_.TraceView();
        view.BuildFromLive();
        if (!consumer_)
            consumer_ =
                std::make_unique<TraceConsumer>(TraceRing(), CurrentTrace(), [view = QPointer(&view)] {
                    platform::SendToUiThread([&view] {
                        if (view)
                            view->update();
                    });
                });
    });
}

void TestWindows::ShowWaitWindow() {
    OnUiThread([this] {
        QWidget& wait = screens_.WaitWindow();
        wait.setGeometry(0, 20, 321, 182);
        wait.show();
        wait.raise();
    });
}

void TestWindows::HideWaitWindow() {
    OnUiThread([this] { screens_.WaitWindow().hide(); });
}

void TestWindows::SendTestFinished() {
    OnUiThread([this] { panel_->OnTestFinished(); });
}

void TestWindows::RepaintTraceView() {
    OnUiThread([this] { screens_.TraceView().repaint(); });
}

void TestWindows::SendTraceRefresh() {
    // The analysis must see the test's last trace, which the consumer may still be copying in.
    TraceRing().WaitHandled();
    OnUiThread([this] { screens_.TraceView().Reanalyse(); });
}

void TestWindows::EnableMainPanel() {
    OnUiThread([this] { panel_->OnTestThreadDone(); });
}
