#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

namespace platform {

constexpr uint32_t INFINITE = 0xFFFFFFFF;

class Event {
public:
    Event(bool manualReset, bool initialState) : manualReset_(manualReset), signalled_(initialState) {}
    void Set();
    void Reset();
    // Real-time wait; true when signalled. An auto-reset event is reset by the wait it releases.
    bool Wait(uint32_t timeoutMs = INFINITE);

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    const bool manualReset_;
    bool signalled_;
};

// A name, as on the instrument, makes one event shared by all who create or open it.
std::shared_ptr<Event> CreateNamedEvent(const std::string& name, bool manualReset, bool initialState);
std::shared_ptr<Event> OpenNamedEvent(const std::string& name);
// Signals the named event if someone holds it; false when it does not exist.
bool SetNamedEvent(const std::string& name);

struct ThreadMessage {
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

// A thread's message queue. It is created before its thread starts, so a message posted at once is
// kept until the thread takes it.
class MessageQueue {
public:
    void Post(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
    // Takes the oldest message if there is one.
    bool Peek(ThreadMessage& message);
    // Waits (real time) for a message; false on time-out.
    bool Wait(ThreadMessage& message, uint32_t timeoutMs = INFINITE);
    size_t Size();

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<ThreadMessage> messages_;
};

} // namespace platform
