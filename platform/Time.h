#pragma once
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>

namespace platform {

class TimeSource {
public:
    virtual ~TimeSource() = default;
    virtual void Sleep(uint32_t ms) = 0;
    virtual uint32_t TickCount() = 0;
};

void Sleep(uint32_t ms);
uint32_t GetTickCount();
// A null source restores real time.
void SetTimeSource(std::shared_ptr<TimeSource> source);
// A source for the calling thread alone, ahead of the process-wide one; null removes it. Lets one
// worker run in virtual time while the program's other threads keep theirs.
void SetThreadTimeSource(std::shared_ptr<TimeSource> source);

// Virtual time that moves only when a test advances it. Sleepers wake in deadline order, and each
// step waits until the woken threads are asleep again (or a short real grace has passed), so a
// thread that sleeps 1000 ms in a loop makes exactly 600 passes in Advance(600000).
class ManualTime : public TimeSource {
public:
    void Sleep(uint32_t ms) override;
    uint32_t TickCount() override;
    void Advance(uint64_t ms);
    uint64_t Now();
    // Blocks (real time, up to timeoutMs) until at least `count` threads sleep.
    bool WaitForSleepers(size_t count, uint32_t timeoutMs = 5000);

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t now_ = 0;
    std::multiset<uint64_t> deadlines_; // one per sleeping thread
};

// Virtual time in which every sleep returns at once and moves the clock on: a headless run of
// timed device work takes no real time.
class FastTime : public TimeSource {
public:
    void Sleep(uint32_t ms) override;
    uint32_t TickCount() override;
    uint64_t SleptMs();

private:
    std::mutex mutex_;
    uint64_t now_ = 0;
};

} // namespace platform
