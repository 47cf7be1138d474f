#pragma once
#include "instrument/acquisition/TestThread.h"

#include <QPointer>
#include <memory>

class CNav1Dlg;
class ScreenSwitch;
class TraceConsumer;

// The test thread's steps on the real windows. Each is a synchronous send to the user-interface
// thread, and does nothing once the main panel is gone (the program ending during a test).
class TestWindows : public TestScreens {
public:
    TestWindows(CNav1Dlg& panel, ScreenSwitch& screens);
    ~TestWindows() override;

    void BuildLiveModel() override;
    void ShowWaitWindow() override;
    void HideWaitWindow() override;
    void SendTestFinished() override;
    void RepaintTraceView() override;
    void SendTraceRefresh() override;
    void EnableMainPanel() override;

private:
    template <typename Step> void OnUiThread(Step step);

    QPointer<CNav1Dlg> panel_;
    ScreenSwitch& screens_;
    // Started with the first live model, then runs for the rest of the program.
    std::unique_ptr<TraceConsumer> consumer_;
};
