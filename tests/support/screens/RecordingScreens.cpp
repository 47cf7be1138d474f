#include "tests/support/screens/RecordingScreens.h"

#include "instrument/screens/PanelKeyEvent.h"

#include "platform/VirtualKeys.h"

#include <QCoreApplication>
#include <QWidget>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

[[noreturn]] void Untouchable(const char* what) {
    ADD_FAILURE() << "the panel reached " << what;
    std::abort();
}

} // namespace

CDataLine& RecordingScreens::TraceView() {
    Untouchable("the trace view");
}
StatusLine& RecordingScreens::Status() {
    Untouchable("the status bar");
}
CSetOtdrBody& RecordingScreens::TestSettings() {
    Untouchable("the test settings");
}
void RecordingScreens::UpdateReadout() {
    Untouchable("the readout");
}
void RecordingScreens::ShowMainPanel() {
    Untouchable("the main panel");
}
CEventLstBody& RecordingScreens::EventList() {
    Untouchable("the event list");
}
QWidget& RecordingScreens::WaitWindow() {
    Untouchable("the wait window");
}
CFileSaveBody& RecordingScreens::FileSave() {
    Untouchable("the save pane");
}
CFileReadBody& RecordingScreens::FileList() {
    Untouchable("the file list");
}
CFileCopyBody& RecordingScreens::FileCopy() {
    Untouchable("the copy pane");
}
CSystemSetBody& RecordingScreens::SystemSetPane() {
    Untouchable("the time pane");
}
CSetInvalidMeterBody& RecordingScreens::InvalidMeterPane() {
    Untouchable("the invalid-distance pane");
}
CHelpOTDR& RecordingScreens::HelpPane() {
    Untouchable("the help pane");
}
void RecordingScreens::ReplaceBody(QWidget&) {
    Untouchable("another pane");
}
void RecordingScreens::ApplyAutoClose() {
    Untouchable("the power-off thread");
}
void RecordingScreens::PostQuit(int) {
    Untouchable("the quit message");
}

void SendPanelKey(QWidget& target, uint32_t vk, bool release) {
    PanelKeyEvent down(vk, platform::WM_KEYDOWN);
    QCoreApplication::sendEvent(&target, &down);
    if (release) {
        PanelKeyEvent up(vk, platform::WM_KEYUP);
        QCoreApplication::sendEvent(&target, &up);
    }
}
