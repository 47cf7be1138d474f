#pragma once
#include "instrument/acquisition/TestParameters.h"
#include "instrument/app/QueuedThread.h"

#include <cstdint>
#include <memory>

class AppFrontend;

// The instrument program's application object: start-up, the key filter in front of every window,
// the fault-locator cycle and the automatic power-off thread.
class CLumetraApp {
public:
    explicit CLumetraApp(AppFrontend& frontend);

    // Runs the start-up sequence and the main dialog; returns the dialog's exit code.
    int InitInstance();

    // Sees every key and stylus press first (WM_KEYDOWN, WM_KEYUP, WM_LBUTTONDOWN, WM_RBUTTONDOWN).
    // True when the message goes no further.
    bool PreTranslateMessage(uint32_t message, uint32_t vk);

    // The automatic power-off thread: started when none exists; stopping posts WM_AUTOCLOSE_QUIT and
    // forgets it.
    void StartAutoClose();
    void StopAutoClose();
    // Started when AutoCloseOn is 1 and none runs, stopped when it is 0 and one runs.
    void ApplyAutoClose();
    bool HasAutoCloseThread() const { return autoClose_ != nullptr; }
    bool HasVflThread() const { return vfl_ != nullptr; }

    // Which test the next start runs: 0 averaging, 1 real-time, 2 automatic; the process-wide pair's.
    int& TestMode = TestWay.TestMode;

private:
    void AdvanceVflCycle();

    AppFrontend& frontend_;
    std::unique_ptr<QueuedThread> autoClose_;
    std::unique_ptr<QueuedThread> vfl_;
    // Threads told to quit; joined before a successor starts, so two never drive one device.
    std::unique_ptr<QueuedThread> retiredAutoClose_;
    std::unique_ptr<QueuedThread> retiredVfl_;
    int vKeyRepeat_ = 0;
};
