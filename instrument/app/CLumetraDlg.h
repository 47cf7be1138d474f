#pragma once
#include <QDialog>

class CCloseBack;
class CTimeAndPower;

// The instrument's one window, 320 x 240, run modally for the life of the program.
class CLumetraDlg : public QDialog {
public:
    explicit CLumetraDlg(QWidget* parent = nullptr);

    // The window's own filter after the application's: Escape key-downs stop here, other keys are traced.
    bool PreTranslateMessage(uint32_t message, uint32_t vk);
    void RelayPanelKey(uint32_t vk, uint32_t message);
    bool CurrentBodyIsTraceView() const;
    // WM_SHOW_CLOSE_BACK: the shutdown picture, painted before this returns.
    void ShowCloseBack();
    // Ends the modal run with an exit code (the quit message).
    void PostQuit(int exitCode);

    CTimeAndPower* StatusBar() const { return statusBar_; }

    // The panel and pane that receive relayed keys.
    QWidget* CurrentPanel = nullptr;
    QWidget* CurrentBody = nullptr;

protected:
    // Escape never closes the main window.
    void reject() override {}
    void closeEvent(QCloseEvent* event) override;

private:
    CCloseBack* closeBack_;
    // Along the top of the screen until the trace view that holds it arrives.
    CTimeAndPower* statusBar_;
    QWidget* traceBody_ = nullptr;
};
