#include "instrument/acquisition/TestParameters.h"
#include "instrument/acquisition/TraceData.h"
#include "instrument/display/ui/CDataLine.h"
#include "instrument/screens/PanelKeyEvent.h"

#include "platform/DebugOut.h"
#include "platform/MessageBox.h"
#include "platform/VirtualKeys.h"
#include "shared/tracefile/TraceFile.h"

#include "tests/support/SyntheticTrace.h"
#include "tests/support/TempRoot.h"
#include "tests/support/qt/QtTestApp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class DataLineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    void SetUp() override {
        std::vector<uint32_t> samples(16384);
        for (size_t k = 0; k < samples.size(); ++k)
            samples[k] = k < 40 ? 66000 : (k < 12000 ? 50000 - static_cast<uint32_t>(k) : 12000);
        const tracefile::ParameterBlock block =
            tracefile::ParameterBlock::FromParameters({16, 1310, 320, 5, 0, 1.468f, 1.0f, 0.1f}, 7, 0);
        ASSERT_EQ(tracefile::WriteTraceFile(root.Path() / "t.st", samples, block), 1);
    }
    // A file of a generated trace over the link.
    std::string LinkFile(const std::string& name, const TraceSetup& setup, const FibreLink& link) {
        const tracefile::ParameterBlock block = tracefile::ParameterBlock::FromParameters(
            {setup.rangeKm, setup.wavelengthNm, setup.pulseNs, 5, 0, 1.468f, 1.0f, 0.1f}, 7, 0);
        EXPECT_EQ(tracefile::WriteTraceFile(root.Path() / name, GenerateTrace(setup, link).samples, block),
                  1);
        return (root.Path() / name).string();
    }
    static FibreLink ShortLink() {
        FibreLink link;
        link.lengthKm = 12.0;
        link.events.push_back({LinkEventKind::Connector, 5.0, 0.4, -45.0});
        return link;
    }
    void Key(CDataLine& view, uint32_t vk, uint32_t message) {
        PanelKeyEvent event(vk, message);
        QCoreApplication::sendEvent(&view, &event);
    }

    TempRoot root;
    TraceData trace;
};

TEST_F(DataLineTest, HeldArrowAcceleratesAndReleaseResets) {
    CDataLine view(nullptr, trace, 1);
    ASSERT_EQ(view.BuildFromFile((root.Path() / "t.st").string()), 0);
    for (int i = 0; i < 12; ++i)
        Key(view, platform::VK_RIGHT, platform::WM_KEYDOWN);
    EXPECT_EQ(view.Scale()->Column(1), 6 * 1 + 5 * 4 + 10);
    Key(view, platform::VK_RIGHT, platform::WM_KEYUP);
    Key(view, platform::VK_LEFT, platform::WM_KEYDOWN);
    EXPECT_EQ(view.Scale()->Column(1), 35);
    Key(view, platform::VK_RETURN, platform::WM_KEYDOWN);
    EXPECT_EQ(view.Scale()->Active(), 0);
    EXPECT_EQ(view.SetCursorColumn(-1), -1);
    // A file that cannot be read leaves the trace shown as it was.
    const std::string missing = (root.Path() / "missing.st").string();
    EXPECT_EQ(view.BuildFromFile(missing), -1);
    ASSERT_TRUE(view.HasModel());
    EXPECT_EQ(view.Scale()->Column(1), 35);
    EXPECT_EQ(view.Scale()->Active(), 0);
    CDataLine empty(nullptr, trace, 1);
    EXPECT_EQ(empty.BuildFromFile(missing), -1);
    EXPECT_FALSE(empty.HasModel());
    EXPECT_EQ(empty.SetCursorColumn(5), -1);
}

TEST_F(DataLineTest, GridTraceAndCursorsWhereTheyBelong) {
    CDataLine view(nullptr, trace, 1);
    ASSERT_EQ(view.BuildFromFile((root.Path() / "t.st").string()), 0);
    view.SetCursorColumn(200); // B, active, red; A stays at 0, green
    const QImage image = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), QSize(320, 180));
    // The trace: sample 100 x 51 = 5100 is 44900 units, row 179 - 44900 x 0.0023 = 76.
    bool blue = false;
    for (int y = 74; y <= 78; ++y)
        blue = blue || image.pixelColor(100, y) == QColor(0, 0, 255);
    EXPECT_TRUE(blue);
    EXPECT_EQ(image.pixelColor(200, 120), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(0, 120), QColor(0, 128, 0));
    // A grid line on the white plot: the mask pen leaves its grey where the dash is drawn.
    int grey = 0;
    for (int y = 60; y < 70; ++y)
        grey += image.pixelColor(125, y) == QColor(90, 90, 90);
    EXPECT_GE(grey, 3);
    EXPECT_EQ(image.pixelColor(300, 30), QColor(255, 255, 210)); // the readout box
}

class CountingBoxes : public platform::MessageBoxService {
public:
    int Show(const std::u16string& text, const std::u16string& title, uint32_t flags) override {
        texts.push_back(text);
        titles.push_back(title);
        lastFlags = flags;
        return platform::IDOK;
    }
    std::vector<std::u16string> texts, titles;
    uint32_t lastFlags = 0;
};

TEST_F(DataLineTest, WithoutSamplesTheReadoutsAreNotMeasuredAndTheUserIsTold) {
    auto boxes = std::make_shared<CountingBoxes>();
    platform::SetMessageBoxService(boxes);
    CDataLine view(nullptr, trace, 1, u"Prompt");
    ASSERT_EQ(view.BuildFromFile((root.Path() / "t.st").string()), 0);
    EXPECT_TRUE(boxes->texts.empty());
    trace.Replace({});
    EXPECT_EQ(view.SetCursorColumn(40), 0);
    ASSERT_EQ(boxes->texts.size(), 1u);
    EXPECT_EQ(boxes->texts[0], u"没有波形显示，无法测量平均损耗");
    EXPECT_EQ(boxes->titles[0], u"Prompt");
    EXPECT_EQ(boxes->lastFlags, platform::MB_OK | platform::MB_ICONEXCLAMATION);
    platform::SetMessageBoxService(nullptr);
}

TEST_F(DataLineTest, ACursorHeldAtTheEdgePansEachDrawingUntilTheEnd) {
    CDataLine view(nullptr, trace, 1);
    ASSERT_EQ(view.BuildFromFile((root.Path() / "t.st").string()), 0);
    view.Operate([](TraceScale& scale) { scale.HorizontalZoomIn(); }); // step 25
    view.SetCursorColumn(319);
    const TraceScale& scale = *view.Scale();
    const uint32_t start = scale.FirstSample();
    view.grab();
    EXPECT_EQ(scale.FirstSample(), start + 10 * 25);
    for (int i = 0; i < 100; ++i)
        view.grab();
    EXPECT_EQ(scale.FirstSample(), 16384u - 25 * 320);
    // In the full view nothing pans.
    view.Operate([](TraceScale& scale) { scale.Restore(); });
    view.SetCursorColumn(319);
    const uint32_t full = scale.FirstSample();
    view.grab();
    EXPECT_EQ(scale.FirstSample(), full);
}

TEST_F(DataLineTest, TheEdgePansWhileTheOtherCursorIsOffScreen) {
    CDataLine view(nullptr, trace, 1);
    ASSERT_EQ(view.BuildFromFile((root.Path() / "t.st").string()), 0);
    const TraceScale& scale = *view.Scale();
    // A held at the right edge, B beyond it.
    view.SetCursorColumn(300); // B at sample 300 x 51
    Key(view, platform::VK_RETURN, platform::WM_KEYDOWN);
    view.SetCursorColumn(100);                                         // A at 5100
    view.Operate([](TraceScale& scale) { scale.HorizontalZoomIn(); }); // step 25, first 1100
    view.grab();                                                       // the drawing that sees A active
    view.SetCursorColumn(319);
    ASSERT_EQ(scale.Active(), 0);
    ASSERT_GT(scale.Column(1), 319);
    for (uint32_t drawing = 1; drawing <= 4; ++drawing) {
        view.grab();
        EXPECT_EQ(scale.FirstSample(), 1100 + drawing * 10 * 25) << "drawing " << drawing;
        ASSERT_GT(scale.Column(1), 319);
    }

    // B held at the left edge, A before it.
    ASSERT_EQ(view.BuildFromFile((root.Path() / "t.st").string()), 0);
    const TraceScale& fresh = *view.Scale();
    view.SetCursorColumn(200);                                         // B at 10200
    view.Operate([](TraceScale& scale) { scale.HorizontalZoomIn(); }); // first 6200
    view.SetCursorColumn(0);
    ASSERT_EQ(fresh.Active(), 1);
    ASSERT_LT(fresh.Column(0), 0);
    for (uint32_t drawing = 1; drawing <= 4; ++drawing) {
        view.grab();
        EXPECT_EQ(fresh.FirstSample(), 6200 - drawing * 10 * 25) << "drawing " << drawing;
        ASSERT_LT(fresh.Column(0), 0);
    }
}

TEST_F(DataLineTest, ACursorBackFromOffScreenIsNotPannedAtThatDrawingOnly) {
    CDataLine view(nullptr, trace, 1);
    ASSERT_EQ(view.BuildFromFile((root.Path() / "t.st").string()), 0);
    const TraceScale& scale = *view.Scale();
    view.SetCursorColumn(200); // B at 10200
    Key(view, platform::VK_RETURN, platform::WM_KEYDOWN);
    view.SetCursorColumn(190); // A at 9690
    Key(view, platform::VK_RETURN, platform::WM_KEYDOWN);
    view.Operate([](TraceScale& scale) { scale.HorizontalZoomIn(); }); // step 25, first 6200
    ASSERT_EQ(scale.FirstSample(), 6200u);
    view.SetCursorColumn(400); // a jump past the window leaves the view where it is
    view.grab();
    EXPECT_EQ(scale.FirstSample(), 6200u);
    Key(view, platform::VK_LEFT, platform::WM_KEYDOWN); // back at 319
    Key(view, platform::VK_LEFT, platform::WM_KEYUP);
    ASSERT_EQ(scale.Column(1), 319);
    view.grab();
    EXPECT_EQ(scale.FirstSample(), 6200u);
    view.grab();
    EXPECT_EQ(scale.FirstSample(), 6450u);

    // Seen inside the plot in between, the cursor no longer comes back when it reaches the edge.
    view.SetCursorColumn(400);
    view.grab();
    view.SetCursorColumn(200);
    view.grab();
    ASSERT_EQ(scale.FirstSample(), 6450u);
    ASSERT_GE(scale.Column(0), 0);
    view.SetCursorColumn(319);
    view.grab();
    EXPECT_EQ(scale.FirstSample(), 6700u);
}

TEST_F(DataLineTest, EachArrowStepWritesTheRedrawCountAndTheNewStep) {
    std::vector<std::string> debug;
    platform::SetDebugSink([&debug](std::string_view line) { debug.emplace_back(line); });
    CDataLine view(nullptr, trace, 1);
    ASSERT_EQ(view.BuildFromFile((root.Path() / "t.st").string()), 0);
    debug.clear();
    std::vector<std::string> expected;
    const int steps[] = {1, 1, 1, 1, 1, 4, 4, 4, 4, 4, 10, 10};
    for (int i = 0; i < 12; ++i) {
        Key(view, platform::VK_RIGHT, platform::WM_KEYDOWN);
        expected.push_back("OnPaintTime: " + std::to_string(i + 1) + " \r\n");
        expected.push_back("m_iMovePix = " + std::to_string(steps[i]) + ">>>\r\n");
    }
    Key(view, platform::VK_RIGHT, platform::WM_KEYUP);
    Key(view, platform::VK_LEFT, platform::WM_KEYDOWN);
    expected.push_back("OnPaintTime: 13 \r\n");
    expected.push_back("m_iMovePix = 1>>>\r\n");
    EXPECT_EQ(debug, expected);
    platform::SetDebugSink({});
}

TEST_F(DataLineTest, ALiveBuildWithChangedParametersTakesTheSettingsAndWaitsForTheTrace) {
    auto boxes = std::make_shared<CountingBoxes>();
    platform::SetMessageBoxService(boxes);
    TestParam.items[kRangeItem].value = 16.0f;
    TestParam.items[kWavelengthItem].value = 1550.0f;
    TestParam.items[kPulseWidthItem].value = 320.0f;
    TestParam.items[kRefractiveItem].value = 1.4685f;
    TestParam.items[kCableRatioItem].value = 1.0f;
    TestParam.items[kThresholdItem].value = 0.1f;
    TestWay = {kAveragingTest, 7};
    CDataLine view(nullptr, trace, 1, u"Prompt");
    // The file sets a trace with events; the test start that follows must not analyse it again.
    const std::string file = LinkFile("link.st", TraceSetup{}, ShortLink());
    ASSERT_EQ(view.BuildFromFile(file), 0);
    ASSERT_GT(view.Events().GetEventCount(), 0);
    view.SetParametersChanged(true);
    view.BuildFromLive();
    ASSERT_TRUE(view.HasModel());
    EXPECT_EQ(view.Model()->Parameters().m_iWaveLen, 155000000);
    EXPECT_EQ(view.Model()->Parameters().m_iAvgTime, 0);
    EXPECT_EQ(view.Events().GetEventCount(), 0);

    // The first test of the day: no trace yet, and no box that would hold the test up.
    trace.Replace({});
    view.BuildFromLive();
    EXPECT_TRUE(boxes->texts.empty());
    // The test's trace arrives; the re-analyse at its end finds the events and measures.
    tracefile::TraceFileContents contents;
    ASSERT_EQ(tracefile::ReadTraceFile(file, tracefile::ReaderVariant::Instrument, contents), 0);
    trace.Replace(contents.samples);
    view.SetCursorColumn(100);
    boxes->texts.clear();
    view.Reanalyse();
    EXPECT_GT(view.Events().GetEventCount(), 0);
    EXPECT_TRUE(boxes->texts.empty());
    platform::SetMessageBoxService(nullptr);
}

TEST_F(DataLineTest, EventTicksOnlyForOneToTwentyFourEvents) {
    // Red pixels away from the cursors: the ticks.
    const auto redAwayFromCursors = [](CDataLine& view) {
        const QImage image = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        int red = 0;
        for (int y = 60; y < 160; ++y)
            for (int x = 20; x < 300; ++x)
                red += image.pixelColor(x, y) == QColor(255, 0, 0);
        return red;
    };
    CDataLine view(nullptr, trace, 0); // generated traces carry no version offset
    ASSERT_EQ(view.BuildFromFile(LinkFile("link.st", TraceSetup{}, ShortLink())), 0);
    const int few = view.Events().GetEventCount();
    ASSERT_GE(few, 1);
    ASSERT_LE(few, 24);
    EXPECT_GT(redAwayFromCursors(view), 0);

    TraceSetup setup;
    setup.rangeKm = 64.0f;
    setup.pulseNs = 320.0f;
    FibreLink link;
    link.lengthKm = 45.0;
    for (int i = 1; i < 48; ++i)
        link.events.push_back({LinkEventKind::Connector, i * 0.9, 0.2, -35.0});
    const tracefile::ParameterBlock block =
        tracefile::ParameterBlock::FromParameters({64, 1310, 320, 5, 0, 1.468f, 1.0f, 0.1f}, 7, 0);
    ASSERT_EQ(tracefile::WriteTraceFile(root.Path() / "many.st", GenerateTrace(setup, link).samples, block),
              1);
    ASSERT_EQ(view.BuildFromFile((root.Path() / "many.st").string()), 0);
    ASSERT_GE(view.Events().GetEventCount(), 25);
    EXPECT_EQ(redAwayFromCursors(view), 0);
}

} // namespace
