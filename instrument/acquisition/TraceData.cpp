#include "instrument/acquisition/TraceData.h"

#include <new>

int TraceData::Replace(std::span<const uint32_t> samples) {
    std::lock_guard lock(mutex_);
    try {
        samples_ = std::make_shared<const std::vector<uint32_t>>(samples.begin(), samples.end());
    } catch (const std::bad_alloc&) {
        samples_ = std::make_shared<const std::vector<uint32_t>>();
        return -1;
    }
    return static_cast<int>(samples_->size());
}

TraceData::Samples TraceData::Snapshot() const {
    std::lock_guard lock(mutex_);
    return samples_;
}

size_t TraceData::Count() const {
    return Snapshot()->size();
}

TraceData& CurrentTrace() {
    // Never destroyed: the consumer thread may still replace it while the process ends.
    static auto* trace = new TraceData;
    return *trace;
}
