#pragma once
#include "instrument/screens/ScreenSwitch.h"

#include <cstdint>
#include <utility>
#include <vector>

class QWidget;

// A screen switch that only records where panels lead; the screens a panel under test must not
// touch fail the test.
class RecordingScreens : public ScreenSwitch {
public:
    void Show(CNavPanel& from, Screen to) override { shown.emplace_back(&from, to); }
    CDataLine& TraceView() override;
    StatusLine& Status() override;
    CSetOtdrBody& TestSettings() override;
    void UpdateReadout() override;
    void ShowMainPanel() override;
    CEventLstBody& EventList() override;
    QWidget& WaitWindow() override;
    CFileSaveBody& FileSave() override;
    CFileReadBody& FileList() override;
    CFileCopyBody& FileCopy() override;
    CSystemSetBody& SystemSetPane() override;
    CSetInvalidMeterBody& InvalidMeterPane() override;
    CHelpOTDR& HelpPane() override;
    void ReplaceBody(QWidget& pane) override;
    void ApplyAutoClose() override;
    void PostQuit(int exitCode) override;

    // The last screen a panel switched to, and how many switches there were.
    Screen Last() const { return shown.back().second; }
    std::vector<std::pair<CNavPanel*, Screen>> shown;
};

// Sends a relayed key-down (and, with `release`, its key-up) to a panel or pane.
void SendPanelKey(QWidget& target, uint32_t vk, bool release = true);
