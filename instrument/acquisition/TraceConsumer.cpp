#include "instrument/acquisition/TraceConsumer.h"

#include "instrument/acquisition/SampleRing.h"
#include "instrument/acquisition/TraceData.h"

TraceConsumer::TraceConsumer(SampleRing& ring, TraceData& trace, std::function<void()> invalidateView)
    : thread_([&ring, &trace, invalidate = std::move(invalidateView)] {
          for (;;) {
              const std::vector<uint32_t> samples = ring.Take();
              trace.Replace(samples);
              if (invalidate)
                  invalidate();
              ring.MarkHandled();
          }
      }) {}

TraceConsumer::~TraceConsumer() {
    thread_.detach();
}
