#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

// The current trace, replaced whole. Readers get a snapshot they share, so an array is never freed
// under a reader.
class TraceData {
public:
    using Samples = std::shared_ptr<const std::vector<uint32_t>>;

    // Copies the samples in; returns the count, or -1 when the copy cannot be allocated (the trace is
    // then empty).
    int Replace(std::span<const uint32_t> samples);
    Samples Snapshot() const;
    size_t Count() const;
    bool CountIsWhole() const { return Count() % 512 == 0; }

private:
    mutable std::mutex mutex_;
    Samples samples_ = std::make_shared<const std::vector<uint32_t>>();
};

// The process-wide current trace.
TraceData& CurrentTrace();
