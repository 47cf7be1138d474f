#include "instrument/acquisition/TestParameters.h"
#include "instrument/acquisition/TraceData.h"
#include "instrument/app/AppEventFilter.h"
#include "instrument/app/CBody.h"
#include "instrument/app/CLumetraApp.h"
#include "instrument/app/CLumetraDlg.h"
#include "instrument/app/QtFrontend.h"
#include "instrument/display/ui/CDataLine.h"
#include "instrument/events/ui/CEventLstBody.h"
#include "instrument/events/ui/CEventTblBody.h"
#include "instrument/events/ui/EventListControl.h"
#include "instrument/screens/CNavPanel.h"
#include "instrument/state/AppState.h"
#include "shared/analysis/EventTable.h"
#include "shared/tracefile/TraceFile.h"

#include "platform/DebugOut.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

#include "tests/support/TempRoot.h"
#include "tests/support/qt/QtTestApp.h"

// Texts in the failure messages.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

// A 16 km, 160 ns trace (W = 16) drawn by hand: a clipped launch, a backscatter slope, reflections
// and steps as wide as the pulse, and the end; with the 10000 that version 1 boards add.
class HandTrace {
public:
    HandTrace() : levels_(16384) {
        for (size_t k = 0; k < levels_.size(); ++k)
            levels_[k] = k < 30 ? 70000 : 45000 - 0.3 * static_cast<double>(k);
    }
    HandTrace& Reflection(size_t at, double height, double drop) {
        for (size_t k = at; k < at + 16; ++k)
            levels_[k] += height;
        return Step(at, drop);
    }
    HandTrace& Step(size_t at, double drop) {
        for (size_t k = at; k < levels_.size(); ++k)
            levels_[k] -= drop * std::min(1.0, static_cast<double>(k - at + 1) / 16);
        return *this;
    }
    std::vector<uint32_t> Samples(size_t end) const {
        std::mt19937 random(7);
        std::normal_distribution<double> noise(0, 4);
        std::vector<uint32_t> out(levels_.size());
        for (size_t k = 0; k < out.size(); ++k) {
            const double level = k < end ? levels_[k] : (k < end + 16 ? 70000 : 3000);
            out[k] = static_cast<uint32_t>(std::max(0.0, level + noise(random))) + 10000;
        }
        return out;
    }

private:
    std::vector<double> levels_;
};

constexpr float kRefractive = 1.468f;
constexpr float kCableRatio = 0.98f;
// The trace's own metres per sample (1 m at 16 km) turned into km by its index and cable ratio.
const double kKmPerSample = 1.0 * 1.5 * kCableRatio / kRefractive * 0.001;

class EventScreensTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    void SetUp() override {
        TestRunning = 0;
        qApp->installEventFilter(&filter);
        // Current parameters unlike the traces': the rows must follow the trace shown.
        saved = TestParam;
        TestParam.items[kRefractiveItem].value = 1.5f;
        TestParam.items[kCableRatioItem].value = 1.0f;
        root.Write("NandFlash/languageEN.ini",
                   Utf16Bytes("[EventLst_body]\r\nfirstColumn=L0\r\nthirdColumn=L1\r\nfourthColumn=L2\r\n"
                              "sixthColumn=L3\r\n[EventTbl_body]\r\ntop_evettbl=Events\r\nfirstColumn=T0\r\n"
                              "thirdColumn=T1\r\nfourthColumn=T2\r\nsixthColumn=T3\r\n"
                              "[EventTbl_nav]\r\nfirstbutton=Leave\r\n"));
        const tracefile::ParameterBlock block = tracefile::ParameterBlock::FromParameters(
            {16, 1310, 160, 5, 0, kRefractive, kCableRatio, 0.1f}, 7, 0);
        // A reflection right after the launch, a connector, a splice and the end.
        ASSERT_EQ(tracefile::WriteTraceFile(Path("a.st"),
                                            HandTrace()
                                                .Reflection(60, 15000, 800)
                                                .Reflection(2500, 15000, 600)
                                                .Step(9000, 700)
                                                .Samples(12000),
                                            block),
                  1);
        ASSERT_EQ(tracefile::WriteTraceFile(Path("b.st"),
                                            HandTrace().Reflection(4000, 15000, 600).Samples(10000), block),
                  1);
        platform::SetDebugSink([this](std::string_view line) { debug.emplace_back(line); });
    }
    void TearDown() override {
        platform::SetDebugSink({});
        TestParam = saved;
    }
    std::string Path(const char* name) const { return (root.Path() / name).string(); }

    void RunDialog(const std::function<void(CLumetraDlg&)>& body) {
        frontend.OnDialogCreated([&](CLumetraDlg& dialog) {
            QTimer::singleShot(0, &dialog, [&] {
                body(dialog);
                dialog.PostQuit(18);
            });
        });
        frontend.RunMainDialog();
    }
    // A key pressed and released on the keypad.
    static void Press(CLumetraDlg& dialog, int key) {
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, key, Qt::NoModifier);
            QCoreApplication::sendEvent(dialog.windowHandle(), &event);
        }
    }
    static void Click(QWidget* target, QPoint at) {
        QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &release);
    }
    // Scrolled to as a user does with the scroll bar, then tapped.
    static void ClickRow(EventListControl& list, int row) {
        list.scrollToItem(list.topLevelItem(row));
        Click(list.viewport(), list.visualItemRect(list.topLevelItem(row)).center());
    }
    static std::vector<analysis::EventRecord> Events(const CDataLine& view) {
        return {view.Events().Events().begin(), view.Events().Events().end()};
    }
    static int ActiveColumn(const CDataLine& view) { return view.Scale()->Column(view.Scale()->Active()); }
    // The rows' texts from a column on.
    static std::vector<QString> Texts(const EventListControl& list, int from = 0) {
        std::vector<QString> texts;
        for (int row = 0; row < list.topLevelItemCount(); ++row)
            for (int column = from; column < 4; ++column)
                texts.push_back(list.Text(row, column));
        return texts;
    }
    bool Traced(const std::string& line) const {
        return std::find(debug.begin(), debug.end(), line) != debug.end();
    }

    TempRoot root;
    TestParameterTable saved;
    std::vector<std::string> debug;
    QtFrontend frontend;
    CLumetraApp app{frontend};
    AppEventFilter filter{app, frontend};
};

TEST_F(EventScreensTest, BothScreensShowEveryEventFromZeroWithTheTracesOwnDistances) {
    RunDialog([&](CLumetraDlg& dialog) {
        CDataLine& view = dialog.TraceView();
        ASSERT_EQ(view.BuildFromFile(Path("a.st")), 0);
        const std::vector<analysis::EventRecord> events = Events(view);
        ASSERT_EQ(events.size(), 4u);
        ASSERT_LT(events[0].position, 8 * view.Events().Window());
        Press(dialog, Qt::Key_F3);
        auto& table = static_cast<CEventTblBody*>(dialog.Window(153))->List();
        EventListControl& list = dialog.TraceBody()->EventList()->List();
        EXPECT_EQ(static_cast<CEventTblBody*>(dialog.Window(153))->Title(), "Events");
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(list.headerItem()->text(column), QString("L%1").arg(column));
            EXPECT_EQ(table.headerItem()->text(column), QString("T%1").arg(column));
        }
        const TraceData::Samples samples = CurrentTrace().Snapshot();
        for (EventListControl* screen : {&list, &table}) {
            ASSERT_EQ(screen->topLevelItemCount(), 4);
            for (int row = 0; row < 4; ++row) {
                const analysis::EventRecord& e = events[static_cast<size_t>(row)];
                EXPECT_EQ(screen->Text(row, 0), QString::asprintf(screen == &list ? "   %d" : "    %d", row));
                EXPECT_EQ(screen->Image(row), e.type == analysis::Reflective ? 1 : 0);
                EXPECT_FALSE(screen->topLevelItem(row)->icon(0).isNull());
                EXPECT_EQ(screen->Text(row, 1), QString::asprintf("%.3f", e.position * kKmPerSample));
                EXPECT_EQ(
                    screen->Text(row, 3),
                    QString::asprintf("%.4f", (static_cast<double>((*samples)[8 * view.Events().Window()]) -
                                               (*samples)[e.position]) *
                                                  0.0005));
            }
            EXPECT_EQ(screen->Text(1, 2), QString::asprintf("%.2f", static_cast<double>(events[1].loss)));
            EXPECT_EQ(screen->Image(2), 0);
            // The end's loss is not measured; the reflection before 8W lies above the reference level.
            EXPECT_EQ(screen->Text(3, 2), "------");
            EXPECT_TRUE(screen->Text(0, 3).startsWith('-')) << screen->Text(0, 3).toStdString();
        }
    });
}

TEST_F(EventScreensTest, ARowClickedOrReachedByTheArrowsPutsTheCursorOnItsEventAsATapWould) {
    CDataLine twin(nullptr, CurrentTrace(), VersionNumber);
    RunDialog([&](CLumetraDlg& dialog) {
        CDataLine& view = dialog.TraceView();
        ASSERT_EQ(view.BuildFromFile(Path("a.st")), 0);
        const std::vector<analysis::EventRecord> events = Events(view);
        CEventLstBody& pane = *dialog.TraceBody()->EventList();
        EventListControl& list = pane.List();
        Press(dialog, Qt::Key_Right); // the cursor away from the start
        const auto at = [&](int row) {
            return static_cast<int>(events[static_cast<size_t>(row)].position / view.Scale()->Step());
        };

        ClickRow(list, 1);
        EXPECT_EQ(pane.SelectedRow(), 1);
        EXPECT_TRUE(Traced("OnNMClickEventList \r\n"));
        EXPECT_EQ(ActiveColumn(view), at(1));
        ASSERT_EQ(twin.BuildFromFile(Path("a.st")), 0);
        twin.resize(view.size());
        Click(&twin, QPoint(1, 90));
        Click(&twin, QPoint(at(1), 90));
        EXPECT_EQ(twin.grab().toImage(), view.grab().toImage());

        // The list keeps no focus from the click: each arrow moves one row, and the row stays in sight.
        for (const auto& [key, row] : std::vector<std::pair<int, int>>{{Qt::Key_Down, 2},
                                                                       {Qt::Key_Down, 3},
                                                                       {Qt::Key_Down, 3},
                                                                       {Qt::Key_Up, 2},
                                                                       {Qt::Key_Up, 1},
                                                                       {Qt::Key_Up, 0}}) {
            Press(dialog, key);
            EXPECT_EQ(pane.SelectedRow(), row);
            EXPECT_EQ(ActiveColumn(view), at(row));
            EXPECT_TRUE(list.viewport()->rect().contains(list.visualItemRect(list.topLevelItem(row))));
        }
        EXPECT_TRUE(Traced("VK_UP    CEventLstBody-------------\r\n"));
        // Left, Right and Enter are the trace view's.
        Press(dialog, Qt::Key_Right);
        Press(dialog, Qt::Key_Return);
        Press(dialog, Qt::Key_Right);
        Press(dialog, Qt::Key_Left);
        Press(dialog, Qt::Key_Right);
        EXPECT_EQ(pane.SelectedRow(), 0);
        EXPECT_EQ(list.SelectedRow(), 0);
        EXPECT_EQ(view.Scale()->Active(), 0);
        EXPECT_EQ(view.Scale()->Column(1), at(0) + 1);
        EXPECT_EQ(view.Scale()->Column(0), 1);
    });
}

TEST_F(EventScreensTest, AJumpToAnEventOutsideTheZoomedWindowLeavesTheViewWhereItIs) {
    RunDialog([&](CLumetraDlg& dialog) {
        CDataLine& view = dialog.TraceView();
        ASSERT_EQ(view.BuildFromFile(Path("a.st")), 0);
        const std::vector<analysis::EventRecord> events = Events(view);
        CEventLstBody& pane = *dialog.TraceBody()->EventList();
        const TraceScale& scale = *view.Scale();
        // Zoomed in to 3 samples a column over the start: the later events lie right of the window.
        for (int i = 0; i < 4; ++i)
            view.Operate([](TraceScale& s) { s.HorizontalZoomIn(); });
        ASSERT_EQ(scale.Step(), 3u);
        ASSERT_EQ(scale.FirstSample(), 0u);
        ClickRow(pane.List(), 3);
        view.repaint();
        EXPECT_EQ(scale.FirstSample(), 0u);
        EXPECT_EQ(scale.Sample(scale.Active()), events[3].position / 3 * 3);
        EXPECT_GT(ActiveColumn(view), 319);

        // The window starts a sample after the splice, inside the column the splice would round to.
        const uint32_t splice = events[2].position;
        ASSERT_NE(splice % 3, 0u);
        view.Operate([&](TraceScale& s) { s.Pan(static_cast<int>((splice + 3) / 3 - s.FirstSample() / 3)); });
        view.Operate([](TraceScale& s) { s.SetCursorColumn(100); });
        const uint32_t first = scale.FirstSample();
        ASSERT_GT(first, splice);
        ASSERT_LT(first, splice + 3);
        Press(dialog, Qt::Key_Up);
        ASSERT_EQ(pane.SelectedRow(), 2);
        view.repaint();
        EXPECT_EQ(scale.FirstSample(), first);
        EXPECT_EQ(ActiveColumn(view), 100);
    });
}

TEST_F(EventScreensTest, TheTableKeepsItsLastRefillAndEveryWayOutLeadsBackToTheMainScreen) {
    RunDialog([&](CLumetraDlg& dialog) {
        CDataLine& view = dialog.TraceView();
        auto* body = static_cast<CEventTblBody*>(dialog.Window(153));
        auto* tableNav = static_cast<CNavPanel*>(dialog.Window(143));
        auto* eventNav = static_cast<CNavPanel*>(dialog.Window(160));
        QWidget* mainPanel = dialog.Window(133);
        const auto atMain = [&] {
            return dialog.CurrentPanel == mainPanel && dialog.CurrentBody == dialog.TraceBody() &&
                   mainPanel->isVisible() && dialog.TraceBody()->isVisible() && !body->isVisible() &&
                   !tableNav->isVisible();
        };
        const auto atTable = [&] {
            return dialog.CurrentPanel == tableNav && dialog.CurrentBody == body && body->isVisible();
        };
        // The event panel in the strip, as the screen that leads to it leaves it.
        const auto toEventPanel = [&] {
            mainPanel->hide();
            eventNav->show();
            dialog.CurrentPanel = eventNav;
        };
        EXPECT_EQ(body->geometry(), QRect(0, 0, 320, 202));
        EXPECT_EQ(tableNav->Button(0)->text(), "Leave");
        for (int slot = 0; slot < CNavPanel::kSlots; ++slot) {
            EXPECT_EQ(tableNav->Button(slot)->isVisibleTo(tableNav), slot == 0);
            EXPECT_EQ(eventNav->Button(slot)->isVisibleTo(eventNav), slot < 2);
        }

        ASSERT_EQ(view.BuildFromFile(Path("a.st")), 0);
        Press(dialog, Qt::Key_F3);
        ASSERT_TRUE(atTable());
        const std::vector<QString> first = Texts(body->List());
        ASSERT_EQ(first.size(), 16u);
        for (const auto& [key, row] :
             std::vector<std::pair<int, int>>{{Qt::Key_Down, 0}, {Qt::Key_Down, 1}, {Qt::Key_Up, 0}}) {
            Press(dialog, key);
            EXPECT_EQ(body->SelectedRow(), row);
        }
        Press(dialog, Qt::Key_F2); // no button there
        EXPECT_TRUE(atTable());
        Press(dialog, Qt::Key_F1);
        EXPECT_TRUE(atMain());
        EXPECT_TRUE(Traced("CEventTblNav\r\n"));
        EXPECT_TRUE(Traced("VK_F1    Nav1-------------\r\n"));

        ASSERT_EQ(view.BuildFromFile(Path("b.st")), 0);
        ASSERT_NE(Texts(dialog.TraceBody()->EventList()->List()).size(), first.size());
        toEventPanel();
        debug.clear();
        Press(dialog, Qt::Key_F1); // the curve analysis button does nothing
        EXPECT_EQ(dialog.CurrentPanel, eventNav);
        Press(dialog, Qt::Key_F2);
        ASSERT_TRUE(atTable());
        EXPECT_EQ(Texts(body->List()), first);
        EXPECT_TRUE(Traced("CEventOprNav\r\n"));
        EXPECT_FALSE(Traced("VK_F2    Nav1-------------\r\n"));
        Press(dialog, Qt::Key_Escape);
        EXPECT_TRUE(atMain());

        toEventPanel();
        eventNav->Button(1)->click();
        ASSERT_TRUE(atTable());
        tableNav->Button(0)->click();
        EXPECT_TRUE(atMain());
        // From the main panel the table takes the trace shown now.
        Press(dialog, Qt::Key_F3);
        EXPECT_EQ(Texts(body->List(), 1), Texts(dialog.TraceBody()->EventList()->List(), 1));
    });
}

} // namespace
