#pragma once
#include "instrument/screens/CNavPanel.h"

#include <QTimer>
#include <array>
#include <memory>
#include <string>
#include <thread>

class ScreenSwitch;
class TestWindows;

// The main test panel: the way to the curve, file and event screens, and the start of a test.
class CNav1Dlg : public CNavPanel {
public:
    CNav1Dlg(QWidget* parent, ScreenSwitch& screens);
    ~CNav1Dlg() override;

    // The start-test button and the T key: nonzero when a test thread was started.
    int StartTest();
    // WM_TEST_FINISHED: the measuring section goes off five minutes after the last test.
    void OnTestFinished();
    // WM_UPDATE_READOUT: range and pulse width of the current parameters into the status bar.
    void OnUpdateReadout();
    // The test thread's last step: the four soft keys back on.
    void OnTestThreadDone();
    void EnableSoftKeys(bool enabled);

    QPushButton* StartButton() const { return startButton_; }
    bool ModuleOffTimerActive() const { return moduleOff_.isActive(); }
    // A test thread started and not yet at its last step.
    bool TestActive() const { return threadActive_; }

protected:
    void OnSlot(int slot) override;

private:
    ScreenSwitch& screens_;
    QPushButton* startButton_;
    std::array<std::u16string, 3> testNames_;
    QTimer moduleOff_;
    std::shared_ptr<TestWindows> windows_;
    std::thread testThread_;
    // From the start until the thread's last step; a start in between would run two tests at once.
    bool threadActive_ = false;
    float startRange_ = 0.0f;
    float startPulse_ = 0.0f;
};
