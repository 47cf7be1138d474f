#include "instrument/display/TraceScale.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

std::array<int32_t, 8> Params(double rangeKm) {
    return {static_cast<int32_t>(rangeKm * 100000), 131000000, 8000000, 500000, 0, 146800, 100000, 10000};
}

TEST(TraceScaleTest, SpacingCountAndFullViewStepFollowTheRange) {
    const struct {
        double km;
        float spacing;
        uint32_t count, step;
    } rows[] = {{0.5, 0.2f, 2560, 8}, {1, 0.2f, 5120, 16},  {2, 0.5f, 4096, 12},
                {4, 0.5f, 8192, 25},  {8, 0.5f, 16384, 51}, {16, 1.0f, 16384, 51},
                {32, 8.0f, 4096, 12}, {64, 8.0f, 8192, 25}, {128, 8.0f, 16384, 51}};
    for (const auto& row : rows) {
        const TraceScale scale(Params(row.km));
        EXPECT_FLOAT_EQ(scale.Spacing(), row.spacing) << row.km;
        EXPECT_EQ(scale.SampleCount(), row.count) << row.km;
        EXPECT_EQ(scale.FullViewStep(), row.step) << row.km;
        EXPECT_EQ(scale.Step(), row.step);
        EXPECT_EQ(scale.Active(), TraceScale::B);
        EXPECT_FLOAT_EQ(scale.DbPerDivision(), 5.0f);
    }
}

TEST(TraceScaleTest, OneKilometreZoomSteps) {
    TraceScale scale(Params(1));
    std::vector<uint32_t> steps;
    for (int i = 0; i < 5; ++i) {
        scale.HorizontalZoomIn();
        steps.push_back(scale.Step());
    }
    EXPECT_EQ(steps, (std::vector<uint32_t>{8, 4, 2, 1, 1}));
    scale.HorizontalZoomOut();
    scale.HorizontalZoomOut();
    EXPECT_EQ(scale.Step(), 4u);
    scale.HorizontalZoomOut();
    EXPECT_EQ(scale.Step(), 10u);
    EXPECT_FLOAT_EQ(scale.KmPerDivision(), 50.0f); // metres
    scale.HorizontalZoomIn();
    EXPECT_EQ(scale.Step(), 5u);
    scale.HorizontalZoomIn();
    EXPECT_EQ(scale.Step(), 2u);
    scale.Restore();
    scale.HorizontalZoomOut();
    EXPECT_EQ(scale.Step(), 16u);
}

TEST(TraceScaleTest, CursorsPushEachOtherAndKeepTheirSamples) {
    TraceScale scale(Params(8));
    scale.ToggleActive();
    scale.SetCursorColumn(100); // A right past B pushes B
    EXPECT_EQ(scale.Column(TraceScale::B), 100);
    scale.ToggleActive();
    scale.SetCursorColumn(200);
    EXPECT_EQ(scale.Column(TraceScale::A), 100);
    EXPECT_EQ(scale.Sample(TraceScale::B), 200 * 51);
    scale.SetCursorColumn(50); // B left past A pushes A
    EXPECT_EQ(scale.Column(TraceScale::A), 50);
    EXPECT_EQ(scale.Sample(TraceScale::A), scale.Sample(TraceScale::B));
    scale.SetCursorColumn(60); // B to the right again leaves A
    EXPECT_EQ(scale.Column(TraceScale::A), 50);
}

TEST(TraceScaleTest, ZoomReCentresOnTheActiveCursorAndPansStopAtTheEnds) {
    TraceScale scale(Params(8));
    scale.SetCursorColumn(160); // sample 8160
    scale.HorizontalZoomIn();   // step 25
    EXPECT_EQ(scale.FirstSample(), 8160u - 25 * 160);
    EXPECT_EQ(scale.Column(TraceScale::B), 160);
    for (int i = 0; i < 100; ++i)
        scale.Pan(10);
    EXPECT_EQ(scale.FirstSample(), 16384u - 25 * 320);
    for (int i = 0; i < 100; ++i)
        scale.Pan(-10);
    EXPECT_EQ(scale.FirstSample(), 0u);
    // Near the end the view rests against it.
    scale.Restore();
    scale.SetCursorColumn(319);
    scale.HorizontalZoomIn();
    EXPECT_EQ(scale.FirstSample(), 16384u - 25 * 320);
}

TEST(TraceScaleTest, VerticalZoomShiftAndRestore) {
    TraceScale scale(Params(16));
    scale.VerticalZoomIn();
    scale.VerticalZoomIn();
    scale.VerticalZoomIn();
    EXPECT_FLOAT_EQ(scale.VerticalZoom(), 4.0f);
    EXPECT_FLOAT_EQ(scale.DbPerDivision(), 1.25f);
    EXPECT_TRUE(scale.VerticalZoomChanged());
    scale.SetCursorColumn(10);
    EXPECT_FALSE(scale.VerticalZoomChanged());
    scale.VerticalZoomOut();
    EXPECT_FLOAT_EQ(scale.DbPerDivision(), 2.5f);
    for (int i = 0; i < 7; ++i)
        scale.ShiftUp();
    scale.ShiftDown();
    EXPECT_EQ(scale.VerticalShift(), 60);
    scale.HorizontalZoomIn();
    scale.Restore();
    EXPECT_EQ(scale.Step(), 51u);
    EXPECT_EQ(scale.VerticalShift(), 0);
    EXPECT_FLOAT_EQ(scale.VerticalZoom(), 1.0f);
}

TEST(TraceScaleTest, ReadoutsOfAFallingTrace) {
    TraceScale scale(Params(8));
    std::vector<uint32_t> samples(16384);
    for (size_t k = 0; k < samples.size(); ++k)
        samples[k] = static_cast<uint32_t>(50000 - k); // 1 level unit per sample
    EXPECT_EQ(scale.Loss(samples), 0.0);
    EXPECT_EQ(scale.Attenuation(samples), 0.0);
    scale.ToggleActive();
    scale.SetCursorColumn(10);
    scale.ToggleActive();
    scale.SetCursorColumn(110);
    EXPECT_NEAR(scale.Loss(samples), 100 * 51 * 0.0005, 1e-6);
    // 8 km over 16384 points at index 1.5: the samples of the 1.468 fibre lie 0.499 m apart.
    const double kmPerSample = 8.0 / 16384 * 1.5 / 1.468;
    EXPECT_NEAR(scale.Attenuation(samples), 0.0005 / kmPerSample, 1e-3); // 1 level unit a sample
    EXPECT_NEAR(scale.Distance(), 100 * 51 * kmPerSample, 1e-9);
    // Cursors beyond a short trace read nothing.
    EXPECT_EQ(scale.Loss(std::vector<uint32_t>(100, 1)), 0.0);
}

} // namespace
