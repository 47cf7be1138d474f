#include "pc/model/TraceScale.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using pc::TraceScale;

tracefile::ParameterBlock Block(float rangeKm) {
    return tracefile::ParameterBlock::FromParameters({rangeKm, 1310, 100, 5, 0, 1.5f, 1.0f, 0.5f}, 7, 0);
}

// Moves one cursor, leaving the active one as it was.
void Move(TraceScale& scale, int cursor, int column) {
    const int active = scale.Active();
    scale.SetActive(cursor);
    scale.SetCursorColumn(column);
    scale.SetActive(active);
}

TEST(PcTraceScaleTest, MovingACursorPushesTheOnesThatWouldBreakTheOrder) {
    const std::vector<uint32_t> samples(5120);
    TraceScale scale(Block(1), samples);
    Move(scale, TraceScale::b, 300);
    Move(scale, TraceScale::B, 200);
    Move(scale, TraceScale::A, 100);
    Move(scale, TraceScale::a, 50);
    Move(scale, TraceScale::b, 150); // past B only
    EXPECT_EQ(scale.Column(TraceScale::B), 150);
    EXPECT_EQ(scale.Column(TraceScale::A), 100);
    Move(scale, TraceScale::b, 80); // past B and A
    EXPECT_EQ(scale.Column(TraceScale::B), 80);
    EXPECT_EQ(scale.Column(TraceScale::A), 80);
    EXPECT_EQ(scale.Column(TraceScale::a), 50);
    Move(scale, TraceScale::b, 10); // past all three
    for (int c = 0; c < TraceScale::kCursors; ++c) {
        EXPECT_EQ(scale.Column(c), 10) << c;
        EXPECT_EQ(scale.Sample(c), 80) << c; // column 10 x step 8
    }
    Move(scale, TraceScale::a, 500); // to the right pushes every later one
    EXPECT_EQ(scale.Column(TraceScale::b), 500);
    EXPECT_EQ(scale.Sample(TraceScale::B), 4000);
    Move(scale, TraceScale::B, 400); // B left of b is allowed, but pulls A and a
    EXPECT_EQ(scale.Column(TraceScale::b), 500);
    EXPECT_EQ(scale.Column(TraceScale::A), 400);
    EXPECT_EQ(scale.Column(TraceScale::a), 400);
}

TEST(PcTraceScaleTest, ChangeMarkTogglesTwoCursorsAndCyclesFour) {
    const std::vector<uint32_t> samples(5120);
    TraceScale scale(Block(1), samples);
    EXPECT_EQ(scale.Active(), TraceScale::A);
    std::vector<int> visited;
    for (int i = 0; i < 3; ++i) {
        scale.ChangeMark(0);
        visited.push_back(scale.Active());
    }
    EXPECT_EQ(visited, (std::vector<int>{TraceScale::B, TraceScale::A, TraceScale::B}));
    scale.SetActive(TraceScale::A);
    visited.clear();
    for (int i = 0; i < 5; ++i) {
        scale.ChangeMark(1);
        visited.push_back(scale.Active());
    }
    EXPECT_EQ(visited,
              (std::vector<int>{TraceScale::B, TraceScale::b, TraceScale::a, TraceScale::A, TraceScale::B}));
}

TEST(PcTraceScaleTest, ZoomInThreeTimesRestoreInOutReturnsToFullView) {
    const std::vector<uint32_t> samples(16384);
    TraceScale scale(Block(16), samples);
    ASSERT_EQ(scale.FullViewStep(), 27u); // 16384 / 600
    scale.SetCursorColumn(300);
    for (int i = 0; i < 3; ++i)
        scale.HorizontalZoomIn();
    EXPECT_EQ(scale.Step(), 3u); // 13, 6, 3
    EXPECT_EQ(scale.HistoryIndex(), 3);
    scale.Restore();
    scale.HorizontalZoomIn();
    EXPECT_EQ(scale.Step(), 13u);
    scale.HorizontalZoomOut();
    EXPECT_EQ(scale.Step(), 27u);
    EXPECT_EQ(scale.HistoryIndex(), 0);
    EXPECT_FLOAT_EQ(scale.KmPerDivision(), 675.0f); // 27 x 1 m x 25
    // Sample 8100 of 16384 is centred only as far as the start allows: 8100 - 27 x 300 = 0.
    EXPECT_EQ(scale.FirstSample(), 0u);
    EXPECT_EQ(scale.Column(TraceScale::A), 300);
}

TEST(PcTraceScaleTest, ZoomReCentresOnTheActiveCursorOrRestsAgainstTheEnd) {
    const std::vector<uint32_t> samples(16384);
    TraceScale scale(Block(8), samples); // 0.5 m, 16384 samples, step 27
    scale.SetCursorColumn(300);          // A, B, b at sample 8100
    scale.HorizontalZoomIn();            // step 13, half 3900
    EXPECT_EQ(scale.FirstSample(), 8100u - 3900u);
    EXPECT_EQ(scale.Column(TraceScale::A), 300);
    EXPECT_EQ(scale.Column(TraceScale::b), 300);
    EXPECT_EQ(scale.Column(TraceScale::a), -323); // (0 - 4200) / 13, truncated
    scale.Restore();
    scale.SetCursorColumn(599); // sample 16173: 211 samples from the end, less than half a view
    scale.HorizontalZoomIn();
    EXPECT_EQ(scale.FirstSample(), 16384u - 600u * 13u);
    EXPECT_EQ(scale.Column(TraceScale::A), (16173 - 8584) / 13);
}

TEST(PcTraceScaleTest, ZoomHistoryStopsAtItsTenthEntry) {
    // No real range has a full-view step needing ten halvings; 5000 km gives 640000 samples, step 1066.
    const std::vector<uint32_t> samples(16);
    TraceScale scale(Block(5000), samples);
    ASSERT_EQ(scale.FullViewStep(), 1066u);
    const std::vector<uint32_t> expected{1066, 533, 266, 133, 66, 33, 16, 8, 4, 2};
    for (int i = 0; i < 12; ++i)
        scale.HorizontalZoomIn();
    EXPECT_EQ(scale.HistoryIndex(), TraceScale::kHistory - 1);
    EXPECT_EQ(scale.Step(), 2u); // a step of 1 would need an eleventh entry
    for (int i = 0; i < TraceScale::kHistory; ++i)
        EXPECT_EQ(scale.HistoryEntry(i), expected[static_cast<size_t>(i)]) << i;
    for (int i = 8; i >= 0; --i) {
        scale.HorizontalZoomOut();
        EXPECT_EQ(scale.Step(), expected[static_cast<size_t>(i)]);
    }
    scale.HorizontalZoomOut();
    EXPECT_EQ(scale.Step(), 1066u);
    EXPECT_EQ(scale.HistoryIndex(), 0);
}

TEST(PcTraceScaleTest, VerticalZoomStopsAtSixteenAndShiftMovesElevenPixels) {
    const std::vector<uint32_t> samples(5120);
    TraceScale scale(Block(1), samples);
    for (int i = 0; i < 6; ++i)
        scale.VerticalZoomIn();
    EXPECT_EQ(scale.VerticalZoom(), 16);
    EXPECT_FLOAT_EQ(scale.DbPerDivision(), 0.3125f); // 40 / (16 x 8), labelled 0.31 dB/
    EXPECT_TRUE(scale.VerticalZoomChanged());
    scale.SetCursorColumn(5);
    EXPECT_FALSE(scale.VerticalZoomChanged());
    scale.VerticalZoomOut();
    EXPECT_EQ(scale.VerticalZoom(), 8);
    scale.ShiftUp();
    scale.ShiftUp();
    scale.ShiftDown();
    EXPECT_EQ(scale.VerticalShift(), 11);
    scale.HorizontalZoomIn();
    scale.Restore();
    EXPECT_EQ(scale.VerticalZoom(), 1);
    EXPECT_EQ(scale.VerticalShift(), 0);
    EXPECT_EQ(scale.Step(), 8u);                   // 5120 / 600
    EXPECT_FLOAT_EQ(scale.KmPerDivision(), 40.0f); // 8 samples x 0.2 m x 25 columns
    EXPECT_FLOAT_EQ(scale.DbPerDivision(), 5.0f);
}

TEST(PcTraceScaleTest, RowsZoomAboutTheLevelAtTheActiveCursor) {
    std::vector<uint32_t> samples(5120);
    for (size_t k = 0; k < samples.size(); ++k)
        samples[k] = 10000 + static_cast<uint32_t>(k);
    TraceScale scale(Block(1), samples);
    EXPECT_EQ(scale.Row(8000), 42); // 8000 x 0.0025 + 22
    scale.SetCursorColumn(100);     // sample 800, level 10800
    scale.VerticalZoomIn();
    EXPECT_EQ(scale.Row(8000), 35); // 10800 + (8000 - 10800) x 2 = 5200: 13 + 22
    EXPECT_EQ(scale.Row(8001), 35); // 5202 x 0.0025 = 13.005, truncated
    scale.ShiftUp();
    EXPECT_EQ(scale.Row(8000), 46);
    scale.SetCursorColumn(200); // the pivot stays where the zoom took it
    EXPECT_EQ(scale.Row(8000), 46);
    for (int i = 0; i < 3; ++i)
        scale.VerticalZoomIn(); // 16 about level 11600
    EXPECT_EQ(scale.Row(0), 0); // 11600 - 11600 x 16 < 0: raised to the bottom
}

} // namespace
