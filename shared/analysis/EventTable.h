#pragma once
#include <cstdint>
#include <list>
#include <span>

namespace analysis {

enum EventType : int32_t { NonReflective = 0, Reflective = 1 };

struct EventRecord {
    uint32_t position = 0; // sample index
    int32_t type = NonReflective;
    float loss = 0.0f; // dB, 0 = not measured
};

// The samples a splice loss is measured over: line 1 over [leftStart, eventPosition), line 2 over
// [rightStart, rightEnd).
struct LossWindow {
    uint32_t leftStart = 0;
    uint32_t eventPosition = 0;
    uint32_t rightStart = 0;
    uint32_t rightEnd = 0;
};

struct Line {
    float slope = 0.0f;     // level units per sample
    float intercept = 0.0f; // level units at sample 0
};

// dB per level unit, in the analysis and in every measurement.
constexpr float kDbPerLevel = 0.0005f;

// Least-squares line over samples start .. start+count-1 (single-precision sums).
Line FitLine(std::span<const uint32_t> v, uint32_t start, uint32_t count);
// The two-line loss at the event position, in dB; 0 when a side is empty or the loss exceeds 4 dB.
float MeasureSpliceLoss(std::span<const uint32_t> v, const LossWindow& window);

// A trace's events in ascending position, with the window and the end the analysis found.
class EventTable {
public:
    // Clears the table and analyses the trace: samples v (level units), range km, wavelength nm,
    // pulse width ns, event threshold dB and the stored attenuation word (dB x 100000). Traces too
    // short for the analysis window give an empty table.
    void AnalyseTrace(std::span<const uint32_t> v, float range, float wavelength, float pulseWidth,
                      float threshold, int32_t attenuation);

    int GetEventCount() const { return static_cast<int>(events_.size()); }
    // 0 and the event, or -1 when i is out of range.
    int GetEvent(int i, EventRecord& event) const;
    // (v[8W] - v[position]) x 0.0005 dB; 0 when either sample lies outside the trace.
    float CumulativeLoss(std::span<const uint32_t> v, uint32_t position) const;

    uint32_t Window() const { return window_; }
    uint32_t End() const { return end_; }
    const std::list<EventRecord>& Events() const { return events_; }

private:
    std::list<EventRecord> events_;
    uint32_t window_ = 1;
    uint32_t end_ = 0;
    LossWindow lossWindow_;
    EventRecord pending_;
    // Kept from run to run: a range outside the table leaves them as they were.
    float fallThreshold_ = 0.0f;
    float riseThreshold_ = 0.0f;
};

} // namespace analysis
