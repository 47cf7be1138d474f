#include "pc/CAboutDlg.h"
#include "pc/CDataLine.h"
#include "pc/CMainFrame.h"
#include "pc/COTDRDoc.h"
#include "pc/COTDRView.h"

#include "tests/support/qt/DesktopTest.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <filesystem>
#include <gtest/gtest.h>
#include <utime.h>

void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

class FrameTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        std::filesystem::copy_file(std::string(SOURCE_DIR) + "/data/traces/sample_16km.st",
                                   root.Path() / "a.st");
    }
    QString Trace(const char* name) const { return QString::fromStdString((root.Path() / name).string()); }
    std::vector<std::u16string> Boxes() {
        {
            std::lock_guard lock(boxes->mutex);
            for (const auto& box : boxes->shown)
                EXPECT_EQ(box.title, u"OTDR Prompt Message");
        }
        return DesktopTest::Boxes();
    }
};

TEST_F(FrameTest, TheMenuAndToolbarHoldEveryCommandInOrderEnabledByTheView) {
    CMainFrame frame;
    EXPECT_EQ(frame.size(), QSize(900, 750));
    EXPECT_EQ(frame.windowTitle(), "OTDR Management Software");
    const std::vector<Command> toolbar = {Command::Open,
                                          Command::Print,
                                          Command::LeftShiftCursor,
                                          Command::RightShiftCursor,
                                          Command::ChangeMark,
                                          Command::MovesUpCurve,
                                          Command::MovesDownCurve,
                                          Command::HorizontalZoomIn,
                                          Command::HorizontalZoomOut,
                                          Command::VerticalZoomIn,
                                          Command::VerticalZoomOut,
                                          Command::RestoreCurve,
                                          Command::TestAverageLoss,
                                          Command::TestJointLoss};
    EXPECT_EQ(frame.ToolbarCommands(), toolbar);
    for (const char* path : {"File/Open File", "File/Print", "File/Exit", "Curve Operation/Change Mark",
                             "Curve Operation/Left Shift Cursor", "Curve Operation/Moves Down Curve",
                             "Curve Operation/Restore Curve", "Curve Analysis/Event Analysis",
                             "Curve Analysis/Test Item/Test Joint Loss", "About/Help", "About/About OTDR"})
        EXPECT_NE(frame.MenuItem(QString::fromLatin1(path)), nullptr) << path;
    EXPECT_EQ(frame.MenuItem("File/Open File")->text(), "&Open File ");
    EXPECT_EQ(frame.MenuItem("Curve Operation/Nothing"), nullptr);
    // Without a trace only what needs none is offered.
    EXPECT_TRUE(frame.Action(Command::Open)->isEnabled());
    for (const Command command : {Command::ChangeMark, Command::HorizontalZoomIn, Command::RestoreCurve,
                                  Command::TestJointLoss, Command::EventAnalysis})
        EXPECT_FALSE(frame.Action(command)->isEnabled());
    EXPECT_TRUE(frame.Action(Command::TestAverageLoss)->isChecked());

    ASSERT_TRUE(frame.OpenChosenFile(Trace("a.st")));
    for (const Command command : {Command::ChangeMark, Command::HorizontalZoomIn, Command::RestoreCurve,
                                  Command::TestJointLoss, Command::EventAnalysis})
        EXPECT_TRUE(frame.Action(command)->isEnabled());
    frame.MenuItem("Curve Analysis/Test Item/Test Joint Loss")->trigger();
    EXPECT_TRUE(frame.Action(Command::TestJointLoss)->isChecked());
    EXPECT_FALSE(frame.Action(Command::TestAverageLoss)->isChecked());
    EXPECT_EQ(frame.View().TraceView().Mode(), 1);
}

TEST_F(FrameTest, AnOpenedFileFillsThePanelsCaptionTitleAndTestDate) {
    // 6 March 2013, noon, local time.
    tm date{};
    date.tm_year = 113;
    date.tm_mon = 2;
    date.tm_mday = 6;
    date.tm_hour = 12;
    const utimbuf times{mktime(&date), mktime(&date)};
    ASSERT_EQ(utime(Trace("a.st").toStdString().c_str(), &times), 0);
    CMainFrame frame;
    COTDRView& view = frame.View();
    EXPECT_EQ(view.TestDate(), "0000-00-00");
    EXPECT_EQ(view.ParameterText("Range"), " ");
    ASSERT_TRUE(frame.OpenChosenFile(Trace("a.st")));
    EXPECT_EQ(view.TestDate(), "2013-3-6");
    EXPECT_EQ(view.FileName(), "a.st");
    EXPECT_EQ(view.Caption(), Trace("a.st"));
    EXPECT_EQ(frame.windowTitle(), "a.st - OTDR Management Software");
    EXPECT_EQ(view.ParameterText("Range"), "16.0 km");
    EXPECT_EQ(view.ParameterText("WaveLength"), "1310 nm");
    EXPECT_TRUE(view.ParameterText("Refractive").endsWith(' '));
    EXPECT_EQ(view.ParameterText("Threshold"), view.ThresholdBox().text());
    EXPECT_EQ(view.MeasureText("(A-B)Distance"), "0.00000 km");
    EXPECT_EQ(view.MeasureText("JointLoss"), "") << "hidden in two-cursor mode";
    EXPECT_TRUE(Boxes().empty());
    // The threshold box keeps digits and points, cut at anything else.
    view.ThresholdBox().setFocus();
    view.ThresholdBox().setText(QString());
    const auto type = [&](const QString& text) {
        for (const QChar c : text) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(&view.ThresholdBox(), &key);
        }
    };
    type("0.2x");
    EXPECT_EQ(view.ThresholdBox().text(), "0.2");
    EXPECT_EQ(view.ThresholdBox().cursorPosition(), 3);
    type("5");
    EXPECT_EQ(view.ThresholdBox().text(), "0.25");
}

TEST_F(FrameTest, AFileThatCannotBeReadIsSaidInTheWordsOfItsWayAndEmptiesTheView) {
    root.Write("bad.st", "not a trace");
    CMainFrame frame;
    ASSERT_TRUE(frame.OpenChosenFile(Trace("a.st")));
    EXPECT_FALSE(frame.OpenChosenFile(Trace("bad.st")));
    EXPECT_EQ(Boxes(), std::vector<std::u16string>{u"False file, can\u2019t read!"});
    EXPECT_FALSE(frame.View().TraceView().HasModel());
    EXPECT_EQ(frame.View().Caption(), "OTDR Test Wave Form");
    EXPECT_EQ(frame.View().TestDate(), "0000-00-00");
    EXPECT_EQ(frame.View().ParameterText("Range"), " ");
    EXPECT_FALSE(frame.Action(Command::RestoreCurve)->isEnabled());
    // The document's own message, for the command line and the recent files.
    EXPECT_FALSE(frame.OpenDocument(Trace("bad.st")));
    EXPECT_EQ(Boxes(), std::vector<std::u16string>{u"错误文件，无法读取！"});
    // A path that does not exist changes nothing and says nothing.
    ASSERT_TRUE(frame.OpenChosenFile(Trace("a.st")));
    EXPECT_FALSE(frame.OpenChosenFile(Trace("missing.st")));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(frame.View().TraceView().HasModel());
}

TEST_F(FrameTest, TheRecentFilesKeepTheLastFourAcrossRestarts) {
    for (const char* name : {"b.st", "c.st", "d.st", "e.st"})
        std::filesystem::copy_file(Trace("a.st").toStdString(), Trace(name).toStdString());
    {
        CMainFrame frame;
        for (const char* name : {"a.st", "b.st", "c.st", "d.st", "e.st", "c.st"})
            ASSERT_TRUE(frame.OpenChosenFile(Trace(name)));
        EXPECT_EQ(frame.RecentFiles(),
                  (QStringList{Trace("c.st"), Trace("e.st"), Trace("d.st"), Trace("b.st")}));
    }
    CMainFrame again;
    EXPECT_EQ(again.RecentFiles(), (QStringList{Trace("c.st"), Trace("e.st"), Trace("d.st"), Trace("b.st")}));
    QAction* second = nullptr;
    for (QAction* action : again.menuBar()->actions().front()->menu()->actions())
        if (action->text() == "&2 " + Trace("e.st"))
            second = action;
    ASSERT_NE(second, nullptr);
    second->trigger();
    EXPECT_EQ(again.View().Caption(), Trace("e.st"));
    EXPECT_EQ(again.RecentFiles().front(), Trace("e.st"));
}

TEST_F(FrameTest, TheAboutBoxShowsTheVersionAndClosesWithItsButton) {
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), "About");
    const auto labels = about.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_TRUE(labels.front()->text().contains("V1.0 130306"));
    QPushButton* close = about.findChild<QPushButton*>();
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), "CloseWindow");
    about.show();
    close->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST_F(FrameTest, ClosingAsksAndNoKeepsTheProgram) {
    CMainFrame frame;
    frame.show();
    boxes->answer = platform::IDNO;
    EXPECT_FALSE(frame.close());
    EXPECT_TRUE(frame.isVisible());
    {
        std::lock_guard lock(boxes->mutex);
        ASSERT_EQ(boxes->shown.size(), 1u);
        EXPECT_EQ(boxes->shown[0].text, u"Are you sure to quit the management software?");
        EXPECT_EQ(boxes->shown[0].flags, platform::MB_YESNO | platform::MB_ICONINFORMATION);
    }
    boxes->answer = platform::IDYES;
    EXPECT_TRUE(frame.close());
}

TEST_F(FrameTest, EventAnalysisListsTheEventsWithATrailingRowAndPutsCursorAOnTheFirst) {
    CMainFrame frame;
    COTDRView& view = frame.View();
    ASSERT_TRUE(frame.OpenChosenFile(Trace("a.st")));
    EXPECT_FALSE(view.Button("Add Event")->isEnabled());
    view.Button("Event Analysis")->click();
    const QTableWidget& list = view.EventList();
    ASSERT_GE(list.rowCount(), 2);
    EXPECT_EQ(list.item(0, 0)->text(), "1");
    EXPECT_TRUE(list.item(0, 1)->text() == "JointEvent" || list.item(0, 1)->text() == "FusionEvent");
    const int last = list.rowCount() - 1;
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(list.item(last, column)->text(), "") << "the trailing row";
    for (const char* button : {"Add Event", "Modify Event", "Delete Event"})
        EXPECT_TRUE(view.Button(button)->isEnabled()) << button;
    // Cursor A stands on the first event: its distance reads the row's distance within a column.
    const pc::TraceModel& model = *view.TraceView().Model();
    const double rowKm = list.item(0, 2)->text().toDouble();
    EXPECT_NEAR(model.Scale().Position(pc::TraceScale::A), rowKm,
                model.Scale().Step() * model.Scale().KmPerSample() + 1e-4);
    // A higher threshold finds no more events than a lower one.
    view.ThresholdBox().setText("9");
    view.Button("Event Analysis")->click();
    EXPECT_LE(list.rowCount(), last + 1);
}

} // namespace
