#include "instrument/app/QtFrontend.h"

#include "instrument/app/CLumetraDlg.h"
#include "instrument/app/CNav1Dlg.h"

#include "platform/qt/UiThread.h"

QtFrontend::QtFrontend() = default;
QtFrontend::~QtFrontend() = default;

int QtFrontend::RunMainDialog() {
    CLumetraDlg dialog;
    dialog_ = &dialog;
    if (onCreated_)
        onCreated_(dialog);
    const int result = dialog.exec();
    dialog_ = nullptr;
    return result;
}

void QtFrontend::RelayPanelKey(uint32_t vk, uint32_t message) {
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
