#include "platform/MessageBox.h"

#include <mutex>

namespace platform {
namespace {

// Never destroyed: detached threads may still use it while the process ends.
struct ServiceSlot {
    std::mutex mutex;
    std::shared_ptr<MessageBoxService> service;
};
ServiceSlot& Slot() {
    static auto* slot = new ServiceSlot;
    return *slot;
}

} // namespace

void SetMessageBoxService(std::shared_ptr<MessageBoxService> newService) {
    std::lock_guard lock(Slot().mutex);
    Slot().service = std::move(newService);
}

int MessageBox(const std::u16string& text, const std::u16string& title, uint32_t flags) {
    std::shared_ptr<MessageBoxService> current;
    {
        std::lock_guard lock(Slot().mutex);
        current = Slot().service;
    }
    if (current)
        return current->Show(text, title, flags);
    return (flags & 0xF) == MB_YESNO ? IDNO : IDOK;
}

} // namespace platform
