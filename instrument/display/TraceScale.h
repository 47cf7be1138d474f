#pragma once
#include <array>
#include <cstdint>
#include <span>

// The trace view's scale, zoom and cursor state over one trace, without any drawing.
class TraceScale {
public:
    enum Cursor { A = 0, B = 1 };

    // params: the eight parameter words (value x 100000); the plot's size and grid in pixels.
    TraceScale(const std::array<int32_t, 8>& params, int plotWidth = 320, int plotHeight = 180,
               int xDivision = 25, int yDivision = 20);

    float RangeKm() const { return range_; }
    float Spacing() const { return spacing_; }
    uint32_t SampleCount() const { return count_; }
    uint32_t FullViewStep() const { return fullViewStep_; }
    uint32_t Step() const { return step_; }
    uint32_t FirstSample() const { return first_; }
    float VerticalZoom() const { return verticalZoom_; }
    int VerticalShift() const { return verticalShift_; }
    bool VerticalZoomChanged() const { return verticalZoomChanged_; }
    float KmPerDivision() const { return kmPerDivision_; } // in metres, shown x 0.001 as km
    float DbPerDivision() const { return dbPerDivision_; }
    int Active() const { return active_; }
    int Column(int cursor) const { return columns_[static_cast<size_t>(cursor)]; }
    int64_t Sample(int cursor) const { return samples_[static_cast<size_t>(cursor)]; }

    void HorizontalZoomIn();
    void HorizontalZoomOut();
    void VerticalZoomIn();
    void VerticalZoomOut();
    void ShiftUp() { verticalShift_ += 10; }
    void ShiftDown() { verticalShift_ -= 10; }
    void Restore();
    // Moves the first sample by k columns (the drawing's pan at the edges).
    void Pan(int columns);
    // Moves the active cursor to a column, pushing the other one along so that A stays left of B.
    void SetCursorColumn(int column);
    void ToggleActive() { active_ = 1 - active_; }

    // Readouts.
    double KmPerSample() const;
    double Position(int cursor) const { return static_cast<double>(Sample(cursor)) * KmPerSample(); }
    double Distance() const { return static_cast<double>(Sample(B) - Sample(A)) * KmPerSample(); }
    // (sample[A] - sample[B]) x 0.0005 dB; 0 where a cursor lies outside the trace.
    double Loss(std::span<const uint32_t> samples) const;
    // dB per km of the least-squares line from A over B - A samples; 0 when B - A < 2.
    double Attenuation(std::span<const uint32_t> samples) const;

private:
    void Rescale();
    void Recentre();
    void Set(int cursor, int column);

    std::array<int32_t, 8> params_;
    int width_, height_, xDivision_, yDivision_;
    float range_ = 0.0f;
    float spacing_ = 0.0f;
    uint32_t count_ = 0;
    uint32_t fullViewStep_ = 1;
    uint32_t step_ = 1;
    uint32_t first_ = 0;
    float verticalZoom_ = 1.0f;
    int verticalShift_ = 0;
    bool verticalZoomChanged_ = false;
    float kmPerDivision_ = 0.0f;
    float dbPerDivision_ = 0.0f;
    int active_ = B;
    std::array<int, 2> columns_{0, 0};
    std::array<int64_t, 2> samples_{0, 0};
};
