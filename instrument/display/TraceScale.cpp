#include "instrument/display/TraceScale.h"

#include "shared/analysis/EventTable.h"
#include "shared/tracefile/RangeGeometry.h"
#include "shared/tracefile/ViewGeometry.h"

#include <algorithm>

TraceScale::TraceScale(const std::array<int32_t, 8>& params, int plotWidth, int plotHeight, int xDivision,
                       int yDivision)
    : params_(params), width_(plotWidth), height_(plotHeight), xDivision_(xDivision), yDivision_(yDivision) {
    range_ = static_cast<float>(params[0] * 0.00001);
    const tracefile::ViewRange view = tracefile::ViewRangeOf(range_);
    spacing_ = view.spacing;
    count_ = view.count;
    fullViewStep_ = tracefile::FullViewStep(count_, width_);
    step_ = fullViewStep_;
    Rescale();
}

void TraceScale::Rescale() {
    kmPerDivision_ = tracefile::MetresPerDivision(step_, xDivision_, spacing_);
    dbPerDivision_ = tracefile::DbPerDivision(verticalZoom_);
}

void TraceScale::Recentre() {
    first_ = tracefile::CentredFirstSample(samples_[static_cast<size_t>(active_)], step_, width_, count_);
    for (size_t c = 0; c < 2; ++c)
        columns_[c] =
            static_cast<int>((samples_[c] - static_cast<int64_t>(first_)) / static_cast<int64_t>(step_));
}

void TraceScale::HorizontalZoomIn() {
    if (step_ > 1)
        step_ = (range_ == 1.0f && step_ == 5) ? 2 : step_ / 2;
    Rescale();
    Recentre();
}

void TraceScale::HorizontalZoomOut() {
    if (step_ < fullViewStep_)
        step_ = (range_ == 1.0f && step_ == 4) ? 10 : step_ * 2;
    step_ = std::min(step_, fullViewStep_);
    Rescale();
    Recentre();
}

void TraceScale::VerticalZoomIn() {
    if (verticalZoom_ < 3.0f)
        verticalZoom_ *= 2.0f;
    verticalZoomChanged_ = true;
    Rescale();
}

void TraceScale::VerticalZoomOut() {
    if (verticalZoom_ > 1.0f)
        verticalZoom_ /= 2.0f;
    verticalZoomChanged_ = true;
    Rescale();
}

void TraceScale::Restore() {
    step_ = fullViewStep_;
    verticalZoom_ = 1.0f;
    verticalShift_ = 0;
    Rescale();
    Recentre();
}

void TraceScale::Pan(int columns) {
    const int64_t last =
        std::max<int64_t>(0, static_cast<int64_t>(count_) - static_cast<int64_t>(step_) * width_);
    const int64_t first = static_cast<int64_t>(first_) + static_cast<int64_t>(columns) * step_;
    first_ = static_cast<uint32_t>(std::clamp<int64_t>(first, 0, last));
    const size_t inactive = static_cast<size_t>(1 - active_);
    if (samples_[inactive] == samples_[static_cast<size_t>(active_)])
        columns_[inactive] = columns_[static_cast<size_t>(active_)];
    else
        columns_[inactive] = static_cast<int>((samples_[inactive] - static_cast<int64_t>(first_)) /
                                              static_cast<int64_t>(step_));
}

void TraceScale::Set(int cursor, int column) {
    columns_[static_cast<size_t>(cursor)] = column;
    samples_[static_cast<size_t>(cursor)] =
        static_cast<int64_t>(first_) + static_cast<int64_t>(column) * step_;
    verticalZoomChanged_ = false;
}

void TraceScale::SetCursorColumn(int column) {
    if (active_ == B && columns_[A] >= column)
        Set(A, column);
    else if (active_ == A && column >= columns_[B])
        Set(B, column);
    Set(active_, column);
}

double TraceScale::KmPerSample() const {
    // The stored words are the index and the ratio times 100000; only their quotient matters.
    return tracefile::KilometresPerSample(range_, params_[5], params_[6]);
}

double TraceScale::Loss(std::span<const uint32_t> samples) const {
    const int64_t a = Sample(A), b = Sample(B);
    if (a < 0 || b < 0 || a >= static_cast<int64_t>(samples.size()) ||
        b >= static_cast<int64_t>(samples.size()))
        return 0.0;
    return (static_cast<double>(samples[static_cast<size_t>(a)]) - samples[static_cast<size_t>(b)]) *
           analysis::kDbPerLevel;
}

double TraceScale::Attenuation(std::span<const uint32_t> samples) const {
    const int64_t a = Sample(A), b = Sample(B);
    if (b - a < 2 || a < 0)
        return 0.0;
    const analysis::Line line =
        analysis::FitLine(samples, static_cast<uint32_t>(a), static_cast<uint32_t>(b - a));
    const double kmPerSample = KmPerSample();
    if (kmPerSample == 0.0)
        return 0.0;
    return -(line.slope / kmPerSample * analysis::kDbPerLevel);
}
