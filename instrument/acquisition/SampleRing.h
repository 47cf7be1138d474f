#pragma once
#include <array>
#include <atomic>
#include <cstdint>
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

private:
    std::array<std::vector<uint32_t>, kSlots> slots_;
    std::counting_semaphore<kSlots> free_{kSlots};
    std::counting_semaphore<kSlots> full_{0};
    uint32_t put_ = 0;
    uint32_t take_ = 0;
    std::atomic<int> filled_{0};
};
