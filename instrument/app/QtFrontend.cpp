#include "instrument/app/QtFrontend.h"

#include "instrument/app/CLumetraDlg.h"
#include "instrument/app/CNav1Dlg.h"

#include "platform/VirtualKeys.h"
#include "platform/qt/OnScreenKeyboard.h"
#include "platform/qt/UiThread.h"

QtFrontend::QtFrontend() : inputPanel_(std::make_shared<platform::QtInputPanel>()) {}
QtFrontend::~QtFrontend() = default;

int QtFrontend::RunMainDialog() {
    CLumetraDlg dialog(applyAutoClose_);
    dialog_ = &dialog;
    inputPanel_->SetOwner(&dialog);
    platform::SetInputPanelService(inputPanel_);
    if (onCreated_)
        onCreated_(dialog);
    const int result = dialog.exec();
    platform::SetInputPanelService(nullptr);
    inputPanel_->SetOwner(nullptr);
    dialog_ = nullptr;
    return result;
}

void QtFrontend::RelayPanelKey(uint32_t vk, uint32_t message) {
    // While the on-screen keyboard is shown the arrows and Enter are its own.
    if (inputPanel_->TakesKey(vk)) {
        if (message == platform::WM_KEYDOWN)
            inputPanel_->Keyboard()->PressKeypad(vk);
        return;
    }
    if (dialog_)
        dialog_->RelayPanelKey(vk, message);
}

bool QtFrontend::CurrentBodyIsTraceView() {
    return dialog_ && dialog_->CurrentBodyIsTraceView();
}

void QtFrontend::StartQuickTest() {
    if (!dialog_)
        return;
    if (dialog_->CurrentPanel)
        dialog_->CurrentPanel->hide();
    dialog_->MainPanel().StartTest();
}

void QtFrontend::SendShowCloseBack() {
    platform::SendToUiThread([this] {
        if (dialog_)
            dialog_->ShowCloseBack();
    });
}
