#include "platform/MessageBox.h"

#include <mutex>

namespace platform {
namespace {

std::mutex serviceMutex;
std::shared_ptr<MessageBoxService> service;

} // namespace

void SetMessageBoxService(std::shared_ptr<MessageBoxService> newService) {
    std::lock_guard lock(serviceMutex);
    service = std::move(newService);
}

int MessageBox(const std::u16string& text, const std::u16string& title, uint32_t flags) {
    std::shared_ptr<MessageBoxService> current;
    {
        std::lock_guard lock(serviceMutex);
        current = service;
    }
    if (current)
        return current->Show(text, title, flags);
    return (flags & 0xF) == MB_YESNO ? IDNO : IDOK;
}

} // namespace platform
