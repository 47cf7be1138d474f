#pragma once
#include "instrument/app/AppFrontend.h"

#include <functional>
#include <memory>

namespace platform {
class QtInputPanel;
}

class CLumetraDlg;

// The application object's windows in Qt.
class QtFrontend : public AppFrontend {
public:
    QtFrontend();
    ~QtFrontend() override;

    int RunMainDialog() override;
    void RelayPanelKey(uint32_t vk, uint32_t message) override;
    bool CurrentBodyIsTraceView() override;
    void StartQuickTest() override;
    void SendShowCloseBack() override;
    void SetAutoCloseControl(std::function<void()> apply) override { applyAutoClose_ = std::move(apply); }

    // The on-screen keyboard of the main dialog; the platform's input panel while the dialog runs.
    platform::QtInputPanel& InputPanel() const { return *inputPanel_; }

    // The main dialog while it runs, else null.
    CLumetraDlg* Dialog() const { return dialog_; }
    // Called once the main dialog exists, before its modal run.
    void OnDialogCreated(std::function<void(CLumetraDlg&)> callback) { onCreated_ = std::move(callback); }

private:
    CLumetraDlg* dialog_ = nullptr;
    std::function<void(CLumetraDlg&)> onCreated_;
    std::function<void()> applyAutoClose_;
    std::shared_ptr<platform::QtInputPanel> inputPanel_;
};
