#include "platform/InputPanel.h"

#include "platform/ServiceSlot.h"

namespace platform {

void SetInputPanelService(std::shared_ptr<InputPanelService> service) {
    ServiceSlot<InputPanelService>::Instance().Set(std::move(service));
}

void ShowInputPanel(bool shown) {
    if (const auto current = ServiceSlot<InputPanelService>::Instance().Get())
        current->Show(shown);
}

bool InputPanelShown() {
    const auto current = ServiceSlot<InputPanelService>::Instance().Get();
    return current && current->IsShown();
}

} // namespace platform
