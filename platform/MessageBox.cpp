#include "platform/MessageBox.h"

#include "platform/ServiceSlot.h"

namespace platform {

void SetMessageBoxService(std::shared_ptr<MessageBoxService> newService) {
    ServiceSlot<MessageBoxService>::Instance().Set(std::move(newService));
}

int MessageBox(const std::u16string& text, const std::u16string& title, uint32_t flags) {
    if (const auto current = ServiceSlot<MessageBoxService>::Instance().Get())
        return current->Show(text, title, flags);
    return (flags & 0xF) == MB_YESNO ? IDNO : IDOK;
}

} // namespace platform
