#pragma once
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <semaphore>
#include <span>
#include <vector>

// Ten slots between the test thread and the consumer. Each slot holds its own copy of the samples,
// so the engine may reuse its buffer at once.
class SampleRing {
public:
    static constexpr int kSlots = 10;

    // Blocks while all ten slots wait to be taken.
    void Put(std::span<const uint32_t> samples);
    // Blocks until a slot is filled.
    std::vector<uint32_t> Take();
    int Filled() const { return filled_; }
    // The consumer has made a taken trace the current one.
    void MarkHandled();
    // For the producer: blocks until every trace it put has been handled, so what follows a test sees
    // its last trace.
    void WaitHandled();

private:
    std::array<std::vector<uint32_t>, kSlots> slots_;
    std::counting_semaphore<kSlots> free_{kSlots};
    std::counting_semaphore<kSlots> full_{0};
    uint32_t put_ = 0;
    uint32_t take_ = 0;
    std::atomic<int> filled_{0};
    std::mutex handledMutex_;
    std::condition_variable handledChanged_;
    uint32_t puts_ = 0;
    uint32_t handled_ = 0;
};

// The process-wide ring between the test thread and the consumer.
SampleRing& TraceRing();
