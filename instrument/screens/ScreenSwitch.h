#pragma once

class CDataLine;
class CEventLstBody;
class CFileCopyBody;
class CFileReadBody;
class CFileSaveBody;
class CHelpOTDR;
class CNavPanel;
class QWidget;
class CSetInvalidMeterBody;
class CSetOtdrBody;
class CSystemSetBody;
class StatusLine;

// Moving between screens. A screen is a panel with its pane, or with the trace view when it has none:
// the acting panel hides, the target panel shows, the target pane replaces the trace view (or the trace
// view comes back), and keys then go to the new pair.
class ScreenSwitch {
public:
    enum class Screen {
        Main,
        Second,
        CurveOperation,
        FileOperation,
        FileSave,
        FileRead,
        FileDelete,
        FileCopy,
        EventTable,
        TestSettings,
        SystemSet,
        SubSysSet,
        SystemInfo,
        Help,
    };
    virtual ~ScreenSwitch() = default;
    virtual void Show(CNavPanel& from, Screen to) = 0;
    virtual CDataLine& TraceView() = 0;
    virtual StatusLine& Status() = 0;
    // The test settings pane, whose values every test start applies.
    virtual CSetOtdrBody& TestSettings() = 0;
    // WM_UPDATE_READOUT to the main test panel: the range and pulse width of the current parameters
    // into the status bar.
    virtual void UpdateReadout() = 0;
    // The main test panel shown, with the trace view, and both current for keys.
    virtual void ShowMainPanel() = 0;
    virtual CEventLstBody& EventList() = 0;
    // The window shown while a test measures.
    virtual QWidget& WaitWindow() = 0;
    // The file screens' panes: the save pane, the file list of the open and delete screens, the copy pane.
    virtual CFileSaveBody& FileSave() = 0;
    virtual CFileReadBody& FileList() = 0;
    virtual CFileCopyBody& FileCopy() = 0;
    // The time and power-off pane, and the invalid-distance pane over the whole screen.
    virtual CSystemSetBody& SystemSetPane() = 0;
    virtual CSetInvalidMeterBody& InvalidMeterPane() = 0;
    virtual CHelpOTDR& HelpPane() = 0;
    // A pane shown in place of the current one and current for keys, the panel staying as it is.
    virtual void ReplaceBody(QWidget& pane) = 0;
    // The automatic power-off thread started or ended to match AutoCloseOn.
    virtual void ApplyAutoClose() = 0;
    // The quit message: the main dialog and the program end with this code.
    virtual void PostQuit(int exitCode) = 0;
};
