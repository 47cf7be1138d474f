#pragma once
#include "instrument/screens/ScreenSwitch.h"

#include <QDialog>

#include <functional>
#include <map>

class CBody;
class CCloseBack;
class CEventTblBody;
class CNav1Dlg;
class CTimeAndPower;

// The instrument's one window, 320 x 240, run modally for the life of the program.
class CLumetraDlg : public QDialog, public ScreenSwitch {
public:
    // applyAutoClose: the application's start or end of the automatic power-off thread.
    explicit CLumetraDlg(std::function<void()> applyAutoClose = {}, QWidget* parent = nullptr);

    // The window's own filter after the application's: Escape key-downs stop here, other keys are traced.
    bool PreTranslateMessage(uint32_t message, uint32_t vk);
    void RelayPanelKey(uint32_t vk, uint32_t message);
    bool CurrentBodyIsTraceView() const;
    // WM_SHOW_CLOSE_BACK: the shutdown picture, painted before this returns.
    void ShowCloseBack();

    CTimeAndPower* StatusBar() const;
    CBody* TraceBody() const { return body_; }

    void Show(CNavPanel& from, Screen to) override;
    CDataLine& TraceView() override;
    StatusLine& Status() override;
    CSetOtdrBody& TestSettings() override { return *setOtdr_; }
    void UpdateReadout() override;
    void ShowMainPanel() override;
    CEventLstBody& EventList() override;
    QWidget& WaitWindow() override { return *waitWindow_; }
    CFileSaveBody& FileSave() override { return *fileSave_; }
    CFileReadBody& FileList() override { return *fileList_; }
    CFileCopyBody& FileCopy() override { return *fileCopy_; }
    CSystemSetBody& SystemSetPane() override { return *systemSet_; }
    CSetInvalidMeterBody& InvalidMeterPane() override { return *invalidMeter_; }
    CHelpOTDR& HelpPane() override { return *help_; }
    void ReplaceBody(QWidget& pane) override;
    void ApplyAutoClose() override;
    // Ends the modal run with an exit code (the quit message).
    void PostQuit(int exitCode) override;
    CNav1Dlg& MainPanel() const { return *nav1_; }
    // Every panel and pane by its resource number.
    QWidget* Window(int resource) const;

    // The panel and pane that receive relayed keys.
    QWidget* CurrentPanel = nullptr;
    QWidget* CurrentBody = nullptr;

protected:
    // Escape never closes the main window.
    void reject() override {}
    void closeEvent(QCloseEvent* event) override;

private:
    struct ScreenParts {
        CNavPanel* panel;
        QWidget* pane; // null: the trace view
    };
    template <typename Widget> Widget* Create(bool shown);

    CBody* body_;
    CNav1Dlg* nav1_;
    CEventTblBody* eventTbl_;
    CSetOtdrBody* setOtdr_;
    CFileSaveBody* fileSave_;
    CFileReadBody* fileList_;
    CFileCopyBody* fileCopy_;
    CSystemSetBody* systemSet_;
    CSetInvalidMeterBody* invalidMeter_;
    CHelpOTDR* help_;
    std::function<void()> applyAutoClose_;
    QWidget* waitWindow_;
    CCloseBack* closeBack_;
    std::map<Screen, ScreenParts> screens_;
    std::map<int, QWidget*> windows_;
    // The pane shown instead of the trace view, if any.
    QWidget* shownPane_ = nullptr;
};
