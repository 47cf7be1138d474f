#pragma once
#include "instrument/acquisition/AcquisitionEngine.h"

#include <atomic>
#include <cstdint>

constexpr uint32_t WM_TEST_FINISHED = 0x7E8;
constexpr uint32_t WM_TRACE_REFRESH = 0x4C8;

// What a test does to the windows; the instrument program's screens implement it, from the test thread,
// by synchronous sends.
class TestScreens {
public:
    virtual ~TestScreens() = default;
    // The trace view builds a new model from the live result.
    virtual void BuildLiveModel() = 0;
    // The wait window at (0, 20), 321 x 182.
    virtual void ShowWaitWindow() = 0;
    virtual void HideWaitWindow() = 0;
    // WM_TEST_FINISHED to the main test panel.
    virtual void SendTestFinished() = 0;
    // Invalidate the trace view and paint it.
    virtual void RepaintTraceView() = 0;
    // WM_TRACE_REFRESH to the trace view: it analyses the new trace.
    virtual void SendTraceRefresh() = 0;
    // The main panel's four soft keys back on.
    virtual void EnableMainPanel() = 0;
};

struct TestRequest {
    TestParameterTable& params;
    TestWayPair& way;
    EngineContext context;
    std::atomic<int>& testRunning;
    TestScreens& screens;
};

// The body of the test thread: one test from opening "OTR1:" to re-enabling the panel. 0, or -1 when
// the board cannot be opened.
int RunTestThread(TestRequest request);
