#include "pc/CAdMoiDlg.h"
#include "pc/CDataLine.h"
#include "pc/CMainFrame.h"
#include "pc/COTDRView.h"

#include "tests/support/qt/DesktopTest.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

using pc::TraceScale;

constexpr const char16_t* kSetCursors =
    u"Please correctly set the position of cursor a, A, B, b by changing cursor to calculate the joint loss! "
    u"What\u2019s more, the position of cursor A will the position of event point.";

// The shipped 16 km trace, analysed: one connector near 2.49 km and the trailing row.
class EventEditingTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ASSERT_TRUE(frame.OpenChosenFile(QStringLiteral(SOURCE_DIR "/data/traces/sample_16km.st")));
        view().Button("Event Analysis")->click();
        ASSERT_EQ(list().rowCount(), 2);
        ASSERT_EQ(Row(0), (QStringList{"1", "JointEvent", "2.4926", "0.3492"}));
    }
    COTDRView& view() { return frame.View(); }
    QTableWidget& list() { return view().EventList(); }
    CDataLine& trace() { return view().TraceView(); }
    const TraceScale& scale() { return trace().Model()->Scale(); }
    QStringList Row(int row) {
        QStringList texts;
        for (int column = 0; column < 4; ++column)
            texts << (list().item(row, column) ? list().item(row, column)->text() : QString());
        return texts;
    }
    void Click(int row) { list().cellClicked(row, 0); }
    void Press(const char* button) { view().Button(button)->click(); }
    // In four-cursor mode, with A where it is: a `before` columns left of it, B and b after it.
    void SpreadCursors(int before, int toB, int toSmallB) {
        const int column = scale().Column(TraceScale::A);
        for (const auto& [cursor, at] : {std::pair{TraceScale::B, column + toB},
                                         {TraceScale::b, column + toB + toSmallB},
                                         {TraceScale::a, column - before},
                                         {TraceScale::A, column}}) {
            while (scale().Active() != cursor)
                trace().ChangeMark();
            trace().SetCursor(30 + at);
        }
        trace().StepCursor(1);
        trace().StepCursor(-1);
    }
    bool Locked() {
        return trace().Mode() == 1 && !list().isEnabled() && !view().Button("Event Analysis")->isEnabled() &&
               !view().Button("Delete Event")->isEnabled();
    }
    bool Free() {
        return trace().Mode() == 0 && list().isEnabled() && view().Button("Add Event")->isEnabled() &&
               !view().EditDialog();
    }

    CMainFrame frame;
};

TEST_F(EventEditingTest, AnAddedEventTakesCursorAAndTheJointLossBetweenItsNeighbours) {
    Press("Add Event");
    EXPECT_EQ(Boxes(),
              std::vector<std::u16string>{u"Please select the location where the added event can insert."});
    EXPECT_EQ(view().EditDialog(), nullptr);

    Click(0);
    const int eventColumn = scale().Column(TraceScale::A);
    Press("Add Event");
    CAdMoiDlg* dialog = view().EditDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Locked());
    EXPECT_FALSE(frame.Action(Command::EventAnalysis)->isEnabled());
    EXPECT_EQ(dialog->PriorText(), " ");
    EXPECT_EQ(dialog->NextText(), "JointEvent 2.4926");
    EXPECT_EQ(dialog->NumberText(), "1");
    EXPECT_TRUE(dialog->PositionText().endsWith(" km"));
    // No type, then a joint loss the cursors cannot measure yet: each said, the dialog stays.
    dialog->Button("OK")->click();
    EXPECT_EQ(Boxes(), std::vector<std::u16string>{u"Please choose the event type!"});
    dialog->SetType(0);
    EXPECT_EQ(dialog->LossText(), "0.000");
    dialog->Button("OK")->click();
    EXPECT_EQ(Boxes(), std::vector<std::u16string>{kSetCursors});
    EXPECT_EQ(view().EditDialog(), dialog);

    // Around the connector the four cursors measure its loss; the boxes follow every move.
    SpreadCursors(30, 10, 30);
    const double joint = trace().Model()->Results().jointLoss;
    ASSERT_GT(joint, 0.1);
    EXPECT_EQ(dialog->LossText(), QString::asprintf("%.3f", joint));
    const double position = trace().Model()->Results().positions[TraceScale::A];
    EXPECT_EQ(dialog->PositionText(), QString::asprintf("%.4f km", position));
    dialog->Button("OK")->click();
    EXPECT_TRUE(Boxes().empty());
    ASSERT_EQ(list().rowCount(), 3);
    EXPECT_EQ(Row(0), (QStringList{"1", "JointEvent", QString::asprintf("%.4f", position),
                                   QString::asprintf("%.4f", joint)}));
    EXPECT_EQ(Row(1), (QStringList{"2", "JointEvent", "2.4926", "0.3492"}));
    EXPECT_EQ(Row(2), (QStringList{"", "", "", ""}));
    EXPECT_TRUE(Free());
    EXPECT_EQ(list().currentRow(), 1);

    // Past the next event's distance the new one has no place: said, and no row changes.
    Click(0);
    Press("Add Event");
    ASSERT_NE(view().EditDialog(), nullptr);
    view().EditDialog()->SetType(1);
    trace().SetCursor(30 + eventColumn + 6);
    SpreadCursors(30, 10, 30);
    ASSERT_NE(view().EditDialog()->LossText(), "0.000");
    view().EditDialog()->Button("OK")->click();
    EXPECT_EQ(Boxes(), std::vector<std::u16string>{
                           u"Please add a new event between the last event point and the next event point!"});
    EXPECT_EQ(list().rowCount(), 3);
    EXPECT_TRUE(Free());
}

TEST_F(EventEditingTest, AddingAtTheTrailingRowGoesAfterTheLastEventUpTo128Km) {
    Click(0);
    const int eventColumn = scale().Column(TraceScale::A);
    Click(1);
    Press("Add Event");
    CAdMoiDlg* dialog = view().EditDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->PriorText(), "JointEvent 2.4926");
    EXPECT_EQ(dialog->NextText(), " ");
    EXPECT_EQ(dialog->NumberText(), "2");
    // Cursor A just before the prior event, the four cursors measuring across it: out of bounds.
    dialog->SetType(1);
    trace().SetCursor(30 + eventColumn - 3);
    SpreadCursors(30, 10, 30);
    ASSERT_NE(dialog->LossText(), "0.000");
    dialog->Button("OK")->click();
    EXPECT_EQ(Boxes(), std::vector<std::u16string>{
                           u"Please add a new event between the last event point and the next event point!"});
    EXPECT_EQ(list().rowCount(), 2);
}

TEST_F(EventEditingTest, ModifyTakesTheRowIntoTheDialogAndNeedsNoNeighbourCheck) {
    Press("Modify Event");
    EXPECT_EQ(Boxes(), std::vector<std::u16string>{u"Please select the event you want to modify."});
    Click(1);
    Press("Modify Event");
    EXPECT_EQ(Boxes(), std::vector<std::u16string>{u"Please select the event you want to modify."})
        << "the trailing row holds no event";
    EXPECT_EQ(view().EditDialog(), nullptr);
    EXPECT_TRUE(Free());

    Click(0);
    Press("Modify Event");
    CAdMoiDlg* dialog = view().EditDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Locked());
    EXPECT_EQ(dialog->TypeText(), "JointEvent");
    EXPECT_EQ(dialog->PositionText(), "2.4926");
    EXPECT_EQ(dialog->LossText(), "0.3492");
    EXPECT_EQ(dialog->NumberText(), "1");
    EXPECT_EQ(dialog->NextText(), " ");
    // A move that leaves the four cursors unable to measure blocks OK.
    trace().StepCursor(1);
    EXPECT_EQ(dialog->LossText(), "0.000");
    dialog->Button("OK")->click();
    EXPECT_EQ(Boxes(), std::vector<std::u16string>{kSetCursors});
    // Far beyond the end of the fibre: no neighbour stops it.
    dialog->SetType(1);
    trace().SetCursor(30 + 500);
    SpreadCursors(30, 10, 30);
    ASSERT_NE(dialog->LossText(), "0.000");
    const double position = trace().Model()->Results().positions[TraceScale::A];
    const double joint = trace().Model()->Results().jointLoss;
    dialog->Button("OK")->click();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Row(0), (QStringList{"1", "FusionEvent", QString::asprintf("%.4f", position),
                                   joint != 0.0 ? QString::asprintf("%.4f", joint) : QString("0.3492")}));
    EXPECT_TRUE(Free());
    // A new analysis forgets every edit.
    Press("Event Analysis");
    EXPECT_EQ(Row(0), (QStringList{"1", "JointEvent", "2.4926", "0.3492"}));
}

TEST_F(EventEditingTest, CancelChangesNothingAndDeleteRenumbersUntilNoEventIsLeft) {
    Click(0);
    Press("Add Event");
    ASSERT_NE(view().EditDialog(), nullptr);
    view().EditDialog()->Button("CANCAL")->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(Free());
    EXPECT_EQ(list().rowCount(), 2);

    list().selectRow(1);
    Press("Delete Event");
    EXPECT_EQ(list().rowCount(), 2) << "the trailing row is not deleted";
    list().selectRow(0);
    Press("Delete Event");
    ASSERT_EQ(list().rowCount(), 1);
    EXPECT_EQ(Row(0), (QStringList{"", "", "", ""}));
    for (const char* button : {"Add Event", "Modify Event", "Delete Event"})
        EXPECT_FALSE(view().Button(button)->isEnabled()) << button;
    EXPECT_TRUE(view().Button("Event Analysis")->isEnabled());
}

} // namespace
