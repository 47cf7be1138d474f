#include "pc/model/TraceModel.h"

#include "shared/tracefile/TraceFile.h"

#include "tests/support/TempRoot.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using pc::TraceModel;
using pc::TraceScale;

// 1 km, index 1.5, cable ratio 1: 5120 samples of 1 km / 5120 each.
tracefile::ParameterBlock OneKm() {
    return tracefile::ParameterBlock::FromParameters({1, 1310, 100, 5, 0, 1.5f, 1.0f, 0.5f}, 7, 0);
}
constexpr double kKmPerSample = 1.0 / 5120;

// A straight trace falling 2 level units a sample, with an extra drop of `step` units from `at` on.
std::vector<uint32_t> Falling(uint32_t at = 5120, uint32_t step = 0) {
    std::vector<uint32_t> samples(5120);
    for (uint32_t k = 0; k < samples.size(); ++k)
        samples[k] = 30000 - 2 * k - (k >= at ? step : 0);
    return samples;
}

void Move(TraceScale& scale, int cursor, int column) {
    scale.SetActive(cursor);
    scale.SetCursorColumn(column);
}

// Step 1 from sample 0, so columns are samples.
void ZoomToSingleSamples(TraceModel& model) {
    for (int i = 0; i < 3; ++i)
        model.Scale().HorizontalZoomIn();
    ASSERT_EQ(model.Scale().Step(), 1u);
    ASSERT_EQ(model.Scale().FirstSample(), 0u);
}

class PcTraceModelTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::vector<uint32_t>& samples) {
        const std::filesystem::path file = root.Path() / name;
        EXPECT_EQ(tracefile::WriteTraceFile(file, samples, OneKm()), 1);
        return file.string();
    }
    TempRoot root;
};

TEST_F(PcTraceModelTest, LoadsTheFileAndMeasuresAtOnce) {
    const std::string path = Write("line.st", Falling());
    tracefile::TraceReadError error = tracefile::TraceReadError::ReadError;
    const std::unique_ptr<TraceModel> model = TraceModel::Load(path, &error);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(error, tracefile::TraceReadError::None);
    EXPECT_EQ(model->Path(), path);
    EXPECT_EQ(model->Parameters(), OneKm());
    EXPECT_EQ(model->Samples().size(), 5120u);
    EXPECT_EQ(model->Samples()[7], 30000u - 14u);
    EXPECT_EQ(model->Events().GetEventCount(), 0);
    EXPECT_EQ(model->Results().distanceAB, 0.0);
    EXPECT_EQ(model->Results().lossAB, 0.0);
}

TEST_F(PcTraceModelTest, RefusedFilesGiveNoModelAndTheReason) {
    tracefile::TraceReadError error = tracefile::TraceReadError::None;
    EXPECT_EQ(TraceModel::Load((root.Path() / "missing.st").string(), &error), nullptr);
    EXPECT_EQ(error, tracefile::TraceReadError::CannotOpen);
    // The desktop reader takes only the range's full count: a shorter file is refused.
    EXPECT_EQ(TraceModel::Load(Write("short.st", std::vector<uint32_t>(1024, 5)), &error), nullptr);
    EXPECT_EQ(error, tracefile::TraceReadError::WrongCount);
}

TEST_F(PcTraceModelTest, DistancesComeFromTheSharedDistancePerSample) {
    TraceModel model("t.st", OneKm(), Falling());
    TraceScale& scale = model.Scale();
    scale.SetCursorColumn(599); // sample 4792
    scale.HorizontalZoomIn();   // step 4 from 5120 - 2400 = 2720
    ASSERT_EQ(scale.FirstSample(), 2720u);
    scale.SetCursorColumn(570);
    ASSERT_EQ(scale.Sample(TraceScale::A), 5000);
    model.Measure();
    // 1 km over 5120 points: 5000 x 0.1953125 m = 0.9765625 km. The 0.2 m nominal spacing would read
    // 1.000 km, a distance the instrument does not show for the same file.
    EXPECT_DOUBLE_EQ(model.Results().positions[TraceScale::A], 0.9765625);
    Move(scale, TraceScale::a, 100); // sample 3120
    Move(scale, TraceScale::b, 580); // sample 5040
    Move(scale, TraceScale::B, 575); // sample 5020
    model.Measure();
    const pc::Measurements& m = model.Results();
    EXPECT_DOUBLE_EQ(m.positions[TraceScale::a], 3120 * kKmPerSample);
    EXPECT_DOUBLE_EQ(m.positions[TraceScale::b], 5040 * kKmPerSample);
    EXPECT_DOUBLE_EQ(m.distanceAB, m.positions[TraceScale::B] - m.positions[TraceScale::A]);
    EXPECT_DOUBLE_EQ(m.distanceAB, 20 * kKmPerSample);
}

TEST_F(PcTraceModelTest, LossAndDbPerKmOfAStraightLine) {
    TraceModel model("t.st", OneKm(), Falling());
    ZoomToSingleSamples(model);
    TraceScale& scale = model.Scale();
    // Odd counts, so every offset from the middle is whole and the fit is exact.
    Move(scale, TraceScale::b, 502);
    Move(scale, TraceScale::B, 401);
    Move(scale, TraceScale::A, 200);
    Move(scale, TraceScale::a, 99);
    model.Measure();
    const pc::Measurements& m = model.Results();
    EXPECT_NEAR(m.lossAB, 201 * 2 * 0.0005, 1e-6);
    // 2 units a sample x 5120 samples a km x 0.0005 dB a unit.
    EXPECT_NEAR(m.dbPerKmAB, 5.12, 1e-6);
    EXPECT_NEAR(m.dbPerKmaA, 5.12, 1e-6);
    EXPECT_NEAR(m.dbPerKmBb, 5.12, 1e-6);
    EXPECT_NEAR(m.jointLoss, 0.0, 1e-6); // one line: nothing between the two
}

TEST_F(PcTraceModelTest, DbPerKmNeedsTwoSamplesInOrder) {
    const TraceModel model("t.st", OneKm(), Falling());
    EXPECT_EQ(model.DbPerKm(100, 101), 0.0);
    EXPECT_EQ(model.DbPerKm(100, 100), 0.0);
    EXPECT_EQ(model.DbPerKm(300, 100), 0.0);
    EXPECT_NEAR(model.DbPerKm(100, 103), 5.12, 1e-6);
}

TEST_F(PcTraceModelTest, JointLossOfTwoLinesWithAStep) {
    // 1000 units (0.5 dB) lower from sample 300 on.
    TraceModel model("t.st", OneKm(), Falling(300, 1000));
    ZoomToSingleSamples(model);
    TraceScale& scale = model.Scale();
    Move(scale, TraceScale::b, 501);
    Move(scale, TraceScale::B, 400);
    Move(scale, TraceScale::A, 300);
    Move(scale, TraceScale::a, 99);
    model.Measure();
    // Line 1 over [99, 300) reads 29400 at 300, line 2 over [400, 501) reads 28400 there.
    EXPECT_NEAR(model.Results().jointLoss, 0.5, 1e-6);
    Move(scale, TraceScale::a, 300); // a = A
    model.Measure();
    EXPECT_EQ(model.Results().jointLoss, 0.0);
}

TEST_F(PcTraceModelTest, JointLossAboveFourDbReadsZero) {
    TraceModel model("t.st", OneKm(), Falling(300, 8400)); // 4.2 dB
    ZoomToSingleSamples(model);
    TraceScale& scale = model.Scale();
    Move(scale, TraceScale::b, 501);
    Move(scale, TraceScale::B, 400);
    Move(scale, TraceScale::A, 300);
    Move(scale, TraceScale::a, 99);
    model.Measure();
    EXPECT_EQ(model.Results().jointLoss, 0.0);
    Move(scale, TraceScale::B, 501); // B = b
    model.Measure();
    EXPECT_EQ(model.Results().jointLoss, 0.0);
}

TEST_F(PcTraceModelTest, NothingIsReadAtOrBeyondTheEndOfAShortTrace) {
    // 1000 samples where the range calls for 5120; the vector is exactly that long.
    std::vector<uint32_t> samples = Falling();
    samples.resize(1000);
    samples.shrink_to_fit();
    TraceModel model("t.st", OneKm(), std::move(samples));
    TraceScale& scale = model.Scale();
    Move(scale, TraceScale::b, 160); // sample 1280
    Move(scale, TraceScale::B, 124); // sample 992
    Move(scale, TraceScale::A, 60);  // sample 480
    Move(scale, TraceScale::a, 10);  // sample 80
    model.Measure();
    const pc::Measurements& m = model.Results();
    EXPECT_NEAR(m.lossAB, 512 * 2 * 0.0005, 1e-6);
    // Even counts: the fit's whole offsets from the middle make the line read a little steeper.
    EXPECT_NEAR(m.dbPerKmaA, 5.12, 0.05);
    EXPECT_EQ(m.dbPerKmBb, 0.0); // would read up to sample 1279
    EXPECT_EQ(m.jointLoss, 0.0);
    Move(scale, TraceScale::B, 125); // sample 1000: one past the end
    model.Measure();
    EXPECT_EQ(model.Results().lossAB, 0.0);
    EXPECT_NEAR(model.Results().dbPerKmAB, 5.12, 0.05);               // [480, 1000) ends at the last sample
    EXPECT_DOUBLE_EQ(model.Results().distanceAB, 520 * kKmPerSample); // distances read no sample
    EXPECT_FALSE(scale.Holds(1000));
    EXPECT_TRUE(scale.Holds(999));
}

TEST_F(PcTraceModelTest, AFileWithoutSamplesMeasuresNothing) {
    root.Write("x.sor", "not read");
    const std::unique_ptr<TraceModel> model = TraceModel::Load((root.Path() / "x.sor").string());
    ASSERT_NE(model, nullptr);
    EXPECT_TRUE(model->Samples().empty());
    model->Scale().SetCursorColumn(300);
    model->Scale().HorizontalZoomIn();
    model->Measure();
    const pc::Measurements& m = model->Results();
    EXPECT_EQ(m.lossAB, 0.0);
    EXPECT_EQ(m.dbPerKmAB, 0.0);
    EXPECT_EQ(m.distanceAB, 0.0);
}

TEST(PcDistanceTextTest, GivesTheSampleTheTextWasWrittenFrom) {
    // Sample 1000 at 1 km / 5120 is 0.1953125 km, listed as "0.1953": 999.94 samples, so 1000.
    EXPECT_EQ(pc::SampleOfDistanceText("0.1953", kKmPerSample), 1000);
    EXPECT_EQ(pc::SampleOfDistanceText(" 1.0000", kKmPerSample), 5120);
    EXPECT_EQ(pc::SampleOfDistanceText("0", kKmPerSample), 0);
    EXPECT_EQ(pc::SampleOfDistanceText("", kKmPerSample), -1);
    EXPECT_EQ(pc::SampleOfDistanceText("km", kKmPerSample), -1);
    EXPECT_EQ(pc::SampleOfDistanceText("-0.5", kKmPerSample), -1);
    EXPECT_EQ(pc::SampleOfDistanceText("0.5", 0.0), -1);
}

} // namespace
