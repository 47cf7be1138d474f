#pragma once
#include <QDialog>
#include <QEvent>
#include <atomic>
#include <thread>

class QLabel;

// Sent by the worker when the instrument program runs again: the dialog closes and the updater ends.
constexpr int WM_UPDATER_DONE = 0x464; // WM_USER + 100

// The updater's only window: the full-screen banner. Its initialisation checks the USB disk and starts
// the worker thread that does the update.
class CVantrelDlg : public QDialog {
public:
    static constexpr QEvent::Type kUpdaterDone = static_cast<QEvent::Type>(QEvent::User + WM_UPDATER_DONE);

    explicit CVantrelDlg(QWidget* parent = nullptr);
    // Waits for the worker.
    ~CVantrelDlg() override;

    // After a failed check the dialog stays on its banner and no worker runs.
    void OnInitDialog();
    bool WorkerStarted() const { return worker_.joinable(); }
    // Ends the dialog with exitCode; a worker still waiting in a box does nothing once the box closes.
    void Abandon(int exitCode);

protected:
    bool event(QEvent* event) override;
    void reject() override {}

private:
    QLabel* banner_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::thread worker_;
};
