#pragma once
#include "pc/model/TraceScale.h"

#include "shared/analysis/EventTable.h"
#include "shared/tracefile/ParameterBlock.h"
#include "shared/tracefile/TraceFile.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace pc {

// What the cursors measure; distances and positions in km, losses in dB.
struct Measurements {
    double distanceAB = 0.0;
    double lossAB = 0.0;
    double dbPerKmAB = 0.0;
    double dbPerKmaA = 0.0;
    double dbPerKmBb = 0.0;
    double jointLoss = 0.0;
    std::array<double, TraceScale::kCursors> positions{}; // a, A, B, b
};

// One trace file as the desktop view shows it: its path, parameters, samples, events and scale.
class TraceModel {
public:
    // Reads the file as the desktop program does; null on failure, with the reason in error.
    static std::unique_ptr<TraceModel> Load(const std::string& path,
                                            tracefile::TraceReadError* error = nullptr);

    // A model of contents already read; the samples may be fewer than the range calls for.
    TraceModel(std::string path, const tracefile::ParameterBlock& block, std::vector<uint32_t> samples);
    TraceModel(const TraceModel&) = delete;
    TraceModel& operator=(const TraceModel&) = delete;

    const std::string& Path() const { return path_; }
    const tracefile::ParameterBlock& Parameters() const { return block_; }
    std::span<const uint32_t> Samples() const { return samples_; }
    TraceScale& Scale() { return scale_; }
    const TraceScale& Scale() const { return scale_; }
    analysis::EventTable& Events() { return events_; }
    const analysis::EventTable& Events() const { return events_; }

    // Recomputes the measurements from the cursors; after a load and after every cursor move.
    void Measure();
    const Measurements& Results() const { return results_; }

    // dB per km of the least-squares line over samples [s, e); 0 when e - s < 2 or the file ends first.
    double DbPerKm(int64_t s, int64_t e) const;
    // The two-line loss at A of lines over [a, A) and [B, b); 0 unless a < A and B < b.
    double JointLoss() const;

private:
    std::string path_;
    tracefile::ParameterBlock block_;
    std::vector<uint32_t> samples_;
    TraceScale scale_;
    analysis::EventTable events_;
    Measurements results_;
};

// The sample an event list's "Distance" text (km) stands for, the nearest one at that distance;
// -1 when the text is no number or there is no distance per sample.
int64_t SampleOfDistanceText(const std::string& text, double kmPerSample);

} // namespace pc
