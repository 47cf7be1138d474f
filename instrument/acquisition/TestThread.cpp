#include "instrument/acquisition/TestThread.h"

#include "instrument/acquisition/AutoTest.h"
#include "instrument/acquisition/AveragingTest.h"
#include "instrument/acquisition/DriverCalls.h"
#include "instrument/acquisition/RealtimeTest.h"

#include "platform/DebugOut.h"
#include "platform/Time.h"

#include <memory>

int RunTestThread(TestRequest request) {
    request.testRunning = 1;
    const platform::DeviceHandle otr = driver::Open("OTR1:");
    if (otr == platform::INVALID_HANDLE_VALUE) {
        request.testRunning = 0;
        request.screens.EnableMainPanel();
        return -1;
    }
    platform::DebugOut("Open ok , handle = %d \r\n", static_cast<int>(otr));
    const int way = request.way.TestMode;
    if (way != kAutomaticTest)
        request.screens.BuildLiveModel();
    std::unique_ptr<AcquisitionEngine> engine;
    if (way == kRealtimeTest)
        engine = std::make_unique<RealtimeTest>(otr, request.params, request.way, request.context);
    else if (way == kAutomaticTest)
        engine = std::make_unique<AutoTest>(otr, request.params, request.way, request.context);
    else
        engine = std::make_unique<AveragingTest>(otr, request.params, request.way, request.context);
    driver::MeasuringSectionOn();
    platform::Sleep(200);
    engine->Configure();
    const bool waits = way != kRealtimeTest;
    if (waits)
        request.screens.ShowWaitWindow();
    engine->Run(0);
    if (waits)
        request.screens.HideWaitWindow();
    request.screens.SendTestFinished();
    if (way == kAutomaticTest) {
        request.screens.BuildLiveModel();
        request.screens.RepaintTraceView();
    }
    platform::CloseDevice(otr);
    request.testRunning = 0;
    platform::Sleep(1);
    request.screens.SendTraceRefresh();
    request.screens.EnableMainPanel();
    engine.reset();
    return 0;
}
