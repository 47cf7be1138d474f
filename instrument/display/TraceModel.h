#pragma once
#include "instrument/display/TraceScale.h"

#include "shared/analysis/EventTable.h"
#include "shared/tracefile/ParameterBlock.h"

#include <span>

// What the trace view draws from: the trace's parameters, its scale and its event table.
class TraceModel {
public:
    TraceModel(const tracefile::ParameterBlock& block, int plotWidth, int plotHeight, int xDivision,
               int yDivision)
        : block_(block), scale_(block.Words(), plotWidth, plotHeight, xDivision, yDivision) {}

    const tracefile::ParameterBlock& Parameters() const { return block_; }
    TraceScale& Scale() { return scale_; }
    const TraceScale& Scale() const { return scale_; }
    const analysis::EventTable& Events() const { return events_; }

    // The event analysis over the samples with the model's parameters; with the second level rule the
    // raised 10000 is taken off first.
    void Analyse(std::span<const uint32_t> samples, int versionNumber);

private:
    tracefile::ParameterBlock block_;
    TraceScale scale_;
    analysis::EventTable events_;
};
