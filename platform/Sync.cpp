#include "platform/Sync.h"

#include <chrono>
#include <map>

namespace platform {
namespace {

// Never destroyed: detached threads may still use it while the process ends.
std::mutex namesMutex;
std::map<std::string, std::weak_ptr<Event>>& Names() {
    static auto* names = new std::map<std::string, std::weak_ptr<Event>>;
    return *names;
}

} // namespace

void Event::Set() {
    std::lock_guard lock(mutex_);
    signalled_ = true;
    changed_.notify_all();
}

void Event::Reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

bool Event::Wait(uint32_t timeoutMs) {
    std::unique_lock lock(mutex_);
    const auto ready = [&] { return signalled_; };
    if (timeoutMs == INFINITE)
        changed_.wait(lock, ready);
    else if (!changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready))
        return false;
    if (!manualReset_)
        signalled_ = false;
    return true;
}

std::shared_ptr<Event> CreateNamedEvent(const std::string& name, bool manualReset, bool initialState) {
    std::lock_guard lock(namesMutex);
    if (auto existing = Names()[name].lock())
        return existing;
    auto event = std::make_shared<Event>(manualReset, initialState);
    Names()[name] = event;
    return event;
}

std::shared_ptr<Event> OpenNamedEvent(const std::string& name) {
    std::lock_guard lock(namesMutex);
    const auto it = Names().find(name);
    return it == Names().end() ? nullptr : it->second.lock();
}

bool SetNamedEvent(const std::string& name) {
    const auto event = OpenNamedEvent(name);
    if (!event)
        return false;
    event->Set();
    return true;
}

void MessageQueue::Post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    std::lock_guard lock(mutex_);
    messages_.push_back(ThreadMessage{message, wParam, lParam});
    posted_.notify_all();
}

bool MessageQueue::Peek(ThreadMessage& message) {
    std::lock_guard lock(mutex_);
    if (messages_.empty())
        return false;
    message = messages_.front();
    messages_.pop_front();
    return true;
}

bool MessageQueue::Wait(ThreadMessage& message, uint32_t timeoutMs) {
    std::unique_lock lock(mutex_);
    const auto ready = [&] { return !messages_.empty(); };
    if (timeoutMs == INFINITE)
        posted_.wait(lock, ready);
    else if (!posted_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready))
        return false;
    message = messages_.front();
    messages_.pop_front();
    return true;
}

size_t MessageQueue::Size() {
    std::lock_guard lock(mutex_);
    return messages_.size();
}

} // namespace platform
