#pragma once
#include <functional>
#include <thread>

class SampleRing;
class TraceData;

// Takes finished traces out of the ring, makes each the current trace and has the view repainted.
// Started once, when the view first shows a live result; runs for the rest of the program.
class TraceConsumer {
public:
    TraceConsumer(SampleRing& ring, TraceData& trace, std::function<void()> invalidateView);
    // Detached: the program ends with it still waiting.
    ~TraceConsumer();
    TraceConsumer(const TraceConsumer&) = delete;
    TraceConsumer& operator=(const TraceConsumer&) = delete;

private:
    std::thread thread_;
};
