#include "pc/model/TraceScale.h"

#include "shared/tracefile/RangeGeometry.h"
#include "shared/tracefile/ViewGeometry.h"

#include <algorithm>
#include <cmath>

namespace pc {

namespace {

constexpr double kPixelsPerLevel = 0.0025;

} // namespace

TraceScale::TraceScale(const tracefile::ParameterBlock& block, std::span<const uint32_t> samples,
                       int plotWidth, int plotHeight, int xDivision, int yDivision)
    : trace_(samples), width_(plotWidth), height_(plotHeight), xDivision_(xDivision), yDivision_(yDivision) {
    constexpr auto kPc = tracefile::ReaderVariant::Pc;
    range_ = tracefile::BlockRangeKm(block, kPc);
    const tracefile::ViewRange view = tracefile::ViewRangeOf(range_);
    spacing_ = view.spacing;
    count_ = view.count;
    kmPerSample_ = tracefile::KilometresPerSample(range_, tracefile::BlockRatio(block.m_fRefractive, kPc),
                                                  tracefile::BlockRatio(block.m_fCableRatio, kPc));
    fullViewStep_ = tracefile::FullViewStep(count_, width_);
    step_ = fullViewStep_;
    history_[0] = fullViewStep_;
    Rescale();
}

void TraceScale::Rescale() {
    kmPerDivision_ = tracefile::MetresPerDivision(step_, xDivision_, spacing_);
    dbPerDivision_ = tracefile::DbPerDivision(static_cast<float>(verticalZoom_));
}

void TraceScale::Recentre() {
    first_ = tracefile::CentredFirstSample(samples_[static_cast<size_t>(active_)], step_, width_, count_);
    for (size_t c = 0; c < kCursors; ++c)
        columns_[c] = ColumnOf(samples_[c]);
}

void TraceScale::HorizontalZoomIn() {
    if (step_ > 1 && historyIndex_ + 1 < kHistory) {
        step_ /= 2;
        history_[static_cast<size_t>(++historyIndex_)] = step_;
    }
    Rescale();
    Recentre();
}

void TraceScale::HorizontalZoomOut() {
    if (step_ < fullViewStep_ && historyIndex_ > 0)
        step_ = history_[static_cast<size_t>(--historyIndex_)];
    Rescale();
    Recentre();
}

void TraceScale::TakePivot() {
    const int64_t s = samples_[static_cast<size_t>(active_)];
    if (Holds(s))
        pivot_ = trace_[static_cast<size_t>(s)];
}

void TraceScale::VerticalZoomIn() {
    if (verticalZoom_ < kMaxVerticalZoom)
        verticalZoom_ *= 2;
    verticalZoomChanged_ = true;
    TakePivot();
    Rescale();
}

void TraceScale::VerticalZoomOut() {
    if (verticalZoom_ > 1)
        verticalZoom_ /= 2;
    verticalZoomChanged_ = true;
    TakePivot();
    Rescale();
}

void TraceScale::Restore() {
    verticalZoom_ = 1;
    step_ = fullViewStep_;
    historyIndex_ = 0;
    verticalShift_ = 0;
    Rescale();
    Recentre();
}

void TraceScale::Set(int cursor, int column) {
    columns_[static_cast<size_t>(cursor)] = column;
    samples_[static_cast<size_t>(cursor)] = SampleAt(column);
    verticalZoomChanged_ = false;
}

void TraceScale::SetCursorColumn(int column) {
    for (int c = 0; c < kCursors; ++c)
        if ((c < active_ && Column(c) > column) || (c > active_ && Column(c) < column))
            Set(c, column);
    Set(active_, column);
}

void TraceScale::ChangeMark(int mode) {
    if (mode == 0)
        active_ = active_ == A ? B : A;
    else
        active_ = (active_ + 1) % kCursors;
}

int64_t TraceScale::SampleAt(int column) const {
    return static_cast<int64_t>(first_) + static_cast<int64_t>(column) * step_;
}

int TraceScale::ColumnOf(int64_t sample) const {
    return static_cast<int>((sample - static_cast<int64_t>(first_)) / static_cast<int64_t>(step_));
}

double TraceScale::LevelPixels(uint32_t level) const {
    return (pivot_ + (static_cast<double>(level) - pivot_) * verticalZoom_) * kPixelsPerLevel;
}

int TraceScale::Row(uint32_t level) const {
    return std::max(0, static_cast<int>(std::trunc(LevelPixels(level) + kBaseline + verticalShift_)));
}

} // namespace pc
