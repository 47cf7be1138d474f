#include "platform/Time.h"

#include "platform/ServiceSlot.h"

#include <chrono>
#include <thread>

namespace platform {
namespace {

thread_local std::shared_ptr<TimeSource> threadSource;

std::shared_ptr<TimeSource> CurrentSource() {
    if (threadSource)
        return threadSource;
    return ServiceSlot<TimeSource>::Instance().Get();
}

// How long a step of ManualTime waits, in real time, for a woken thread to sleep again.
constexpr auto kSettleGrace = std::chrono::milliseconds(20);

} // namespace

void Sleep(uint32_t ms) {
    if (const auto current = CurrentSource()) {
        current->Sleep(ms);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

uint32_t GetTickCount() {
    if (const auto current = CurrentSource())
        return current->TickCount();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

void SetTimeSource(std::shared_ptr<TimeSource> newSource) {
    ServiceSlot<TimeSource>::Instance().Set(std::move(newSource));
}

void SetThreadTimeSource(std::shared_ptr<TimeSource> source) {
    threadSource = std::move(source);
}

void ManualTime::Sleep(uint32_t ms) {
    std::unique_lock lock(mutex_);
    const uint64_t deadline = now_ + ms;
    const auto slot = deadlines_.insert(deadline);
    changed_.notify_all();
    changed_.wait(lock, [&] { return now_ >= deadline; });
    deadlines_.erase(slot);
    changed_.notify_all();
}

uint32_t ManualTime::TickCount() {
    std::lock_guard lock(mutex_);
    return static_cast<uint32_t>(now_);
}

uint64_t ManualTime::Now() {
    std::lock_guard lock(mutex_);
    return now_;
}

void ManualTime::Advance(uint64_t ms) {
    std::unique_lock lock(mutex_);
    const uint64_t target = now_ + ms;
    while (!deadlines_.empty() && *deadlines_.begin() <= target) {
        now_ = *deadlines_.begin();
        const size_t sleepers = deadlines_.size();
        changed_.notify_all();
        changed_.wait_for(lock, kSettleGrace, [&] {
            return (deadlines_.empty() || *deadlines_.begin() > now_) && deadlines_.size() >= sleepers;
        });
    }
    now_ = target;
    changed_.notify_all();
}

bool ManualTime::WaitForSleepers(size_t count, uint32_t timeoutMs) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return deadlines_.size() >= count; });
}

void FastTime::Sleep(uint32_t ms) {
    std::lock_guard lock(mutex_);
    now_ += ms;
}

uint32_t FastTime::TickCount() {
    std::lock_guard lock(mutex_);
    return static_cast<uint32_t>(now_);
}

uint64_t FastTime::SleptMs() {
    std::lock_guard lock(mutex_);
    return now_;
}

} // namespace platform
