#include "pc/CDataLine.h"

#include "shared/tracefile/TraceFile.h"

#include "tests/support/TempRoot.h"
#include "tests/support/qt/QtTestApp.h"

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using pc::TraceScale;

class PcDataLineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    void SetUp() override {
        // 1 km at index 1.5 and ratio 1, level 40000 throughout: row trunc(40000 x 0.0025 + 22) = 122,
        // window row 220 - 122 = 98.
        const std::vector<uint32_t> samples(5120, 40000);
        const auto block =
            tracefile::ParameterBlock::FromParameters({1, 1310, 100, 5, 0, 1.5f, 1.0f, 0.5f}, 7, 0);
        path = (root.Path() / "flat.st").string();
        ASSERT_EQ(tracefile::WriteTraceFile(path, samples, block), 1);
        view.OnLoadFinished([this] { ++loads; });
        view.OnCursorsMoved([this] { ++moves; });
    }
    void Mouse(QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(x, 100), QPointF(x, 100), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &event);
    }
    int ActiveColumn() const {
        const TraceScale& scale = view.Model()->Scale();
        return scale.Column(scale.Active());
    }
    Qt::CursorShape Pointer() const { return view.cursor().shape(); }

    TempRoot root;
    std::string path;
    CDataLine view;
    int loads = 0;
    int moves = 0;
};

TEST_F(PcDataLineTest, APressAwayFromTheActiveLineMovesIt) {
    ASSERT_EQ(view.Load(path), 0);
    Mouse(QEvent::MouseButtonPress, 130, Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, 130, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(ActiveColumn(), 100);
    EXPECT_EQ(view.Model()->Scale().Sample(TraceScale::A), 800);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(view.CursorLabel(TraceScale::A), QStringLiteral("A 0.156km")); // 800 / 5120 km
    Mouse(QEvent::MouseButtonPress, 300, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(ActiveColumn(), 100);
    Mouse(QEvent::MouseButtonPress, 10, Qt::LeftButton, Qt::LeftButton); // left of the plot
    EXPECT_EQ(ActiveColumn(), 100);
    EXPECT_EQ(moves, 1);
}

TEST_F(PcDataLineTest, APressNearTheActiveLineDragsIt) {
    ASSERT_EQ(view.Load(path), 0);
    ASSERT_EQ(view.SetCursor(130), 0);
    Mouse(QEvent::MouseButtonPress, 134, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(ActiveColumn(), 100); // within 5 pixels: no jump
    EXPECT_EQ(Pointer(), Qt::SizeHorCursor);
    Mouse(QEvent::MouseMove, 180, Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, 230, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(ActiveColumn(), 200);
    EXPECT_EQ(moves, 2);
    Mouse(QEvent::MouseButtonRelease, 230, Qt::LeftButton, Qt::NoButton);
    Mouse(QEvent::MouseMove, 300, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(ActiveColumn(), 200);
    EXPECT_EQ(moves, 2);
    EXPECT_EQ(Pointer(), Qt::ArrowCursor);
    Mouse(QEvent::MouseMove, 230, Qt::NoButton, Qt::NoButton); // exactly over the line
    EXPECT_EQ(Pointer(), Qt::SizeHorCursor);
    Mouse(QEvent::MouseMove, 231, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(Pointer(), Qt::ArrowCursor);
}

TEST_F(PcDataLineTest, CommandsWithoutAModelAreIgnored) {
    EXPECT_FALSE(view.HasModel());
    EXPECT_EQ(view.SetCursor(100), -1);
    view.StepCursor(1);
    view.ChangeMark();
    view.HorizontalZoomIn();
    view.VerticalZoomIn();
    view.ShiftUp();
    view.Restore();
    view.TestJointLoss();
    view.SelectEvent(0);
    Mouse(QEvent::MouseButtonPress, 130, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(view.Mode(), 0);
    EXPECT_EQ(moves, 0);
    EXPECT_TRUE(view.CursorLabel(TraceScale::A).isEmpty());
    const QImage image = view.grab().toImage();
    EXPECT_EQ(image.pixelColor(5, 235), QColor(255, 255, 210));
}

TEST_F(PcDataLineTest, AFailedLoadEmptiesTheViewAndStillReports) {
    ASSERT_EQ(view.Load(path), 0);
    view.TestJointLoss();
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(view.Load((root.Path() / "none.st").string()), -1);
    EXPECT_FALSE(view.HasModel());
    EXPECT_EQ(loads, 2);
    ASSERT_EQ(view.Load(path), 0);
    EXPECT_EQ(view.Mode(), 1); // the mode outlives the loads
    EXPECT_EQ(view.Model()->Scale().Active(), TraceScale::A);
    view.ChangeMark();
    view.ChangeMark();
    EXPECT_EQ(view.Model()->Scale().Active(), TraceScale::b);
    view.TestAverageLoss();
    EXPECT_EQ(view.Mode(), 0);
    EXPECT_EQ(view.Model()->Scale().Active(), TraceScale::A);
    view.ChangeMark();
    EXPECT_EQ(view.Model()->Scale().Active(), TraceScale::B);
}

TEST_F(PcDataLineTest, StepCursorMovesOneColumnAndStopsAtThePlotEdges) {
    ASSERT_EQ(view.Load(path), 0);
    view.StepCursor(-1);
    EXPECT_EQ(ActiveColumn(), 0);
    EXPECT_EQ(moves, 0);
    view.StepCursor(1);
    EXPECT_EQ(ActiveColumn(), 1);
    EXPECT_EQ(moves, 1);
    ASSERT_EQ(view.SetCursor(629), 0);
    view.StepCursor(1);
    EXPECT_EQ(ActiveColumn(), 599);
}

TEST_F(PcDataLineTest, AnEventRowPutsCursorAOnItsDistanceWhicheverCursorIsActive) {
    ASSERT_EQ(view.Load(path), 0);
    view.SetEventDistances({"0.1953", "0.4688"}); // samples 1000 and 2400
    view.SelectEvent(1);
    EXPECT_EQ(view.SelectedEvent(), 1);
    EXPECT_EQ(ActiveColumn(), 300); // 2400 / 8
    EXPECT_EQ(moves, 1);
    view.ChangeMark();
    view.SelectEvent(0);
    EXPECT_EQ(view.Model()->Scale().Active(), TraceScale::B);
    EXPECT_EQ(view.Model()->Scale().Column(TraceScale::A), 125);
    EXPECT_EQ(view.Model()->Scale().Sample(TraceScale::A), 1000);
    EXPECT_EQ(ActiveColumn(), 300) << "B stays where A pushed it";
}

TEST_F(PcDataLineTest, DrawsTraceCursorsAndEventMarks) {
    ASSERT_EQ(view.Load(path), 0);
    view.ChangeMark();
    ASSERT_EQ(view.SetCursor(30 + 410), 0); // B
    view.ChangeMark();
    ASSERT_EQ(view.SetCursor(30 + 210), 0); // A, active
    view.SetEventDistances({"0.4688"});     // sample 2400, column 300
    QImage image = view.grab().toImage();
    EXPECT_EQ(image.size(), QSize(630, 240));
    EXPECT_EQ(image.pixelColor(5, 235), QColor(255, 255, 210));
    EXPECT_EQ(image.pixelColor(30 + 100, 98), QColor(0, 0, 255));
    EXPECT_NE(image.pixelColor(30 + 100, 97), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(30 + 210, 180), QColor(255, 0, 0));   // the active line
    EXPECT_EQ(image.pixelColor(30 + 410, 180), QColor(128, 0, 128)); // the other one
    // The mark runs from row 122 + 11 down to 122 - 6, window rows 87 .. 104.
    EXPECT_EQ(image.pixelColor(30 + 300, 90), QColor(255, 0, 0));
    EXPECT_NE(image.pixelColor(30 + 300, 84), QColor(255, 0, 0));

    view.TestJointLoss(); // only the active cursor
    image = view.grab().toImage();
    EXPECT_EQ(image.pixelColor(30 + 210, 180), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(30 + 410, 180), QColor(255, 255, 255));

    view.ShiftUp(); // 11 pixels higher
    image = view.grab().toImage();
    EXPECT_EQ(image.pixelColor(30 + 100, 87), QColor(0, 0, 255));
}

} // namespace
