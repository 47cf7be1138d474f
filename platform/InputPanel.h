#pragma once
#include <memory>

namespace platform {

// The on-screen keyboard: a platform service the screens only show and hide. Without a service (a
// test of one screen, a tool) there is no keyboard and showing it does nothing.
class InputPanelService {
public:
    virtual ~InputPanelService() = default;
    virtual void Show(bool shown) = 0;
    virtual bool IsShown() const = 0;
};

void SetInputPanelService(std::shared_ptr<InputPanelService> service);
void ShowInputPanel(bool shown);
bool InputPanelShown();

} // namespace platform
