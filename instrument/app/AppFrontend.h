#pragma once
#include <cstdint>
#include <functional>

// What the application object needs of its windows; the Qt program implements it, tests fake it.
class AppFrontend {
public:
    virtual ~AppFrontend() = default;
    // Creates the main dialog, runs it modally and returns its exit code.
    virtual int RunMainDialog() = 0;
    // WM_PANEL_KEY to the current soft-key panel and then to the current body pane, each if present.
    virtual void RelayPanelKey(uint32_t vk, uint32_t message) = 0;
    virtual bool CurrentBodyIsTraceView() = 0;
    // Hides the current panel and starts a test as the test key of the main test panel does.
    virtual void StartQuickTest() = 0;
    // WM_SHOW_CLOSE_BACK to the main window, from any thread; returns once the picture is shown.
    virtual void SendShowCloseBack() = 0;
    // How the screens start or end the automatic power-off thread to match AutoCloseOn; the
    // application object, which owns the thread, gives it.
    virtual void SetAutoCloseControl(std::function<void()> apply) = 0;
};
