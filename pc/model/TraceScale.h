#pragma once
#include "shared/tracefile/ParameterBlock.h"

#include <array>
#include <cstdint>
#include <span>

namespace pc {

// The desktop trace view's scale, zoom and four-cursor state over one trace, without any drawing.
// Columns are pixels of the plot (0 .. width - 1); rows count upwards from the plot's bottom.
class TraceScale {
public:
    enum Cursor { a = 0, A = 1, B = 2, b = 3 };
    static constexpr int kCursors = 4;
    // Entries of the zoom history, the full-view step first.
    static constexpr int kHistory = 10;
    static constexpr int kMaxVerticalZoom = 16;
    static constexpr int kShiftStep = 11;
    // Pixels between the plot's bottom and a level of 0.
    static constexpr int kBaseline = 22;

    // The block as the desktop reader sees it; samples must outlive the scale (the pivot and the rows
    // are read from them, never beyond their end).
    TraceScale(const tracefile::ParameterBlock& block, std::span<const uint32_t> samples, int plotWidth = 600,
               int plotHeight = 220, int xDivision = 25, int yDivision = 22);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int XDivision() const { return xDivision_; }
    int YDivision() const { return yDivision_; }
    float RangeKm() const { return range_; }
    float Spacing() const { return spacing_; }
    // The count the range calls for; the file may hold fewer.
    uint32_t SampleCount() const { return count_; }
    uint32_t FullViewStep() const { return fullViewStep_; }
    uint32_t Step() const { return step_; }
    uint32_t FirstSample() const { return first_; }
    int VerticalZoom() const { return verticalZoom_; }
    int VerticalShift() const { return verticalShift_; }
    bool VerticalZoomChanged() const { return verticalZoomChanged_; }
    float KmPerDivision() const { return kmPerDivision_; } // in metres, shown x 0.001 as km
    float DbPerDivision() const { return dbPerDivision_; }
    int Active() const { return active_; }
    int Column(int cursor) const { return columns_[static_cast<size_t>(cursor)]; }
    int64_t Sample(int cursor) const { return samples_[static_cast<size_t>(cursor)]; }
    int HistoryIndex() const { return historyIndex_; }
    uint32_t HistoryEntry(int index) const { return history_[static_cast<size_t>(index)]; }

    // Kilometres between two samples, from the one function both programs share.
    double KmPerSample() const { return kmPerSample_; }
    double Position(int cursor) const { return static_cast<double>(Sample(cursor)) * kmPerSample_; }

    // Halves the step and records it; at the tenth entry the view zooms no further.
    void HorizontalZoomIn();
    // Back one entry of the history.
    void HorizontalZoomOut();
    // 1, 2, 4, 8, 16 about the level at the active cursor.
    void VerticalZoomIn();
    void VerticalZoomOut();
    void ShiftUp() { verticalShift_ += kShiftStep; }
    void ShiftDown() { verticalShift_ -= kShiftStep; }
    // Full view, zoom 1, shift 0, and the history back to its first entry.
    void Restore();

    // Moves the active cursor to a column, first pulling along every cursor that would break
    // a <= A <= B <= b.
    void SetCursorColumn(int column);
    void SetActive(int cursor) { active_ = cursor; }
    // Mode 0 (two cursors) toggles A and B; mode 1 (four cursors) cycles a, A, B, b.
    void ChangeMark(int mode);

    // The sample column i shows, and a sample's column (truncated toward 0 as the instrument does).
    int64_t SampleAt(int column) const;
    int ColumnOf(int64_t sample) const;
    // Whether the file holds that sample.
    bool Holds(int64_t sample) const { return sample >= 0 && sample < static_cast<int64_t>(trace_.size()); }
    // A level zoomed about the pivot, in pixels above the baseline: v' x 0.0025.
    double LevelPixels(uint32_t level) const;
    // The plot row of a level: trunc(v' x 0.0025 + 22 + shift), raised to 0.
    int Row(uint32_t level) const;

private:
    void Rescale();
    void Recentre();
    void Set(int cursor, int column);
    void TakePivot();

    std::span<const uint32_t> trace_;
    int width_, height_, xDivision_, yDivision_;
    float range_ = 0.0f;
    float spacing_ = 0.0f;
    double kmPerSample_ = 0.0;
    uint32_t count_ = 0;
    uint32_t fullViewStep_ = 1;
    uint32_t step_ = 1;
    uint32_t first_ = 0;
    int verticalZoom_ = 1;
    int verticalShift_ = 0;
    bool verticalZoomChanged_ = false;
    double pivot_ = 0.0;
    float kmPerDivision_ = 0.0f;
    float dbPerDivision_ = 0.0f;
    int active_ = A;
    std::array<int, kCursors> columns_{};
    std::array<int64_t, kCursors> samples_{};
    std::array<uint32_t, kHistory> history_{};
    int historyIndex_ = 0;
};

} // namespace pc
