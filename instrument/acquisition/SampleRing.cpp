#include "instrument/acquisition/SampleRing.h"

#include "platform/DebugOut.h"

void SampleRing::Put(std::span<const uint32_t> samples) {
    free_.acquire();
    const uint32_t position = put_ % kSlots;
    slots_[position].assign(samples.begin(), samples.end());
    ++put_;
    {
        std::lock_guard lock(handledMutex_);
        ++puts_;
    }
    platform::DebugOut("V semaphore = %d\r\n", filled_.fetch_add(1));
    platform::DebugOut("m_iPosP = %d\r\n", static_cast<int>(position));
    full_.release();
}

std::vector<uint32_t> SampleRing::Take() {
    platform::DebugOut("GetDataFromBuffer------------>>\r\n");
    full_.acquire();
    platform::DebugOut("WaitForSingleObject ok------------>>\r\n");
    const uint32_t position = take_ % kSlots;
    std::vector<uint32_t> samples = std::move(slots_[position]);
    slots_[position].clear();
    ++take_;
    --filled_;
    platform::DebugOut("m_iPosV = %d\r\n", static_cast<int>(position));
    free_.release();
    return samples;
}

void SampleRing::MarkHandled() {
    std::lock_guard lock(handledMutex_);
    ++handled_;
    handledChanged_.notify_all();
}

void SampleRing::WaitHandled() {
    std::unique_lock lock(handledMutex_);
    handledChanged_.wait(lock, [this] { return handled_ == puts_; });
}

SampleRing& TraceRing() {
    static SampleRing ring;
    return ring;
}
