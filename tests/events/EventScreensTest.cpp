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
#include "shared/tracefile/RangeGeometry.h"
#include "shared/tracefile/TraceFile.h"

#include "platform/DebugOut.h"

#include <QApplication>
#include <QFontInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

#include "tests/support/SyntheticTrace.h"
#include "tests/support/TempRoot.h"
#include "tests/support/qt/KeypadPress.h"
#include "tests/support/qt/QtTestApp.h"
#include "tests/support/screens/DeliveredTexts.h"

// Texts in the failure messages.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
void PrintTo(const QRect& rect, std::ostream* out) {
    *out << rect.x() << ", " << rect.y() << ", " << rect.width() << " x " << rect.height();
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
// 16 km over 16384 points at index 1.5, on this trace's index and cable ratio.
const double kKmPerSample = 16.0 / 16384 * 1.5 * kCableRatio / kRefractive;

class EventScreensTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        EnsureQtApplication();
        // The program's screen font: what fits a column is measured in it.
        QFont::insertSubstitutions(QStringLiteral("SimSun"),
                                   {QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC")});
        QFont font(QStringLiteral("SimSun"));
        font.setPixelSize(12);
        QApplication::setFont(font);
    }
    void SetUp() override {
        TestRunning = 0;
        language = LanguageId;
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
        LanguageId = language;
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
    static void Press(CLumetraDlg& dialog, int key, const QString& text = {}) {
        PressKeypad(dialog, key, text);
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
    int language = 0;
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
        EXPECT_EQ(body->geometry(), QRect(0, 0, 320, 217));
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

// The screens in the delivered texts of each language, over a trace of eighteen connectors.
class EventColumnsTest : public EventScreensTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        EventScreensTest::SetUp();
        UseDeliveredTexts(root, GetParam());
        TraceSetup setup; // 16 km, 160 ns
        FibreLink link;
        link.lengthKm = 14.5;
        link.endReflectanceDb = -40.0;
        for (int i = 0; i < 18; ++i)
            link.events.push_back({LinkEventKind::Connector, 0.8 + 0.75 * i, 0.3, -45.0});
        std::vector<uint32_t> samples = GenerateTrace(setup, link).samples;
        for (uint32_t& sample : samples)
            sample += 10000;
        const tracefile::ParameterBlock block =
            tracefile::ParameterBlock::FromParameters({setup.rangeKm, setup.wavelengthNm, setup.pulseNs, 5, 0,
                                                       setup.refractive, setup.cableRatio, 0.1f},
                                                      7, 0);
        ASSERT_EQ(tracefile::WriteTraceFile(Path("many.st"), samples, block), 1);
    }
    // The trace opened as the open screen does: its rows fill the event list, and the table when it opens.
    static void ShowManyEvents(CLumetraDlg& dialog, const std::string& file) {
        ASSERT_EQ(dialog.TraceView().BuildFromFile(file), 0);
        ASSERT_GE(dialog.TraceView().Events().GetEventCount(), 14);
    }
    static QRect InDialog(const QWidget& widget, const CLumetraDlg& dialog) {
        return QRect(widget.mapTo(&dialog, QPoint(0, 0)), widget.size());
    }
    static QRect RowInDialog(const EventListControl& list, int row, const CLumetraDlg& dialog) {
        const QRect rect = list.visualItemRect(list.topLevelItem(row));
        return rect.translated(list.viewport()->mapTo(&dialog, QPoint(0, 0)));
    }
    // Every cell of every row, every header and the event number of the last event a table can hold
    // fit their columns as the list's style lays them out (icon, margins and text, in its font), so
    // nothing is elided; and the columns stay clear of the scroll bar.
    static void ExpectEverythingFits(EventListControl& list, const char* numberFormat) {
        ASSERT_TRUE(QStringList({"WenQuanYi Zen Hei", "Noto Sans CJK SC", "SimSun"})
                        .contains(QFontInfo(list.font()).family()))
            << QFontInfo(list.font()).family().toStdString() << " (fonts-wqy-zenhei not installed?)";
        // The view lays its rows out on a timer, and shows its scroll bar on a queued call after that.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        ASSERT_TRUE(list.verticalScrollBar()->isVisibleTo(&list));
        // The view's own measure of a column's cells, public on the base.
        const QAbstractItemView& view = list;
        int widths = 0;
        for (int column = 0; column < 4; ++column) {
            widths += list.columnWidth(column);
            EXPECT_LE(list.header()->sectionSizeHint(column), list.columnWidth(column)) << column;
        }
        EXPECT_LE(widths, list.viewport()->width());
        for (int row = 0; row < list.topLevelItemCount(); ++row) {
            list.scrollToItem(list.topLevelItem(row));
            for (int column = 0; column < 4; ++column)
                EXPECT_LE(view.sizeHintForColumn(column), list.columnWidth(column)) << row << ", " << column;
        }
        // No two events of a table share a sample, and no trace has more samples than this.
        const int events = static_cast<int>(tracefile::LargestPointCount());
        list.scrollToTop();
        QTreeWidgetItem* first = list.topLevelItem(0);
        int widest = 0, widestNumber = 0;
        for (int number = 0; number < events; ++number) {
            first->setText(0, QString::asprintf(numberFormat, number));
            if (const int width = view.sizeHintForColumn(0); width > widest) {
                widest = width;
                widestNumber = number;
            }
        }
        EXPECT_LE(widest, list.columnWidth(0)) << "event " << widestNumber;
    }
};

TEST_P(EventColumnsTest, EveryEventNumberATableCanReachIsDrawnWholeBesideItsIcon) {
    RunDialog([&](CLumetraDlg& dialog) {
        ASSERT_NO_FATAL_FAILURE(ShowManyEvents(dialog, Path("many.st")));
        EventListControl& list = dialog.TraceBody()->EventList()->List();
        EXPECT_EQ(list.Text(13, 0), "   13");
        ExpectEverythingFits(list, "   %d");
        Press(dialog, Qt::Key_F3);
        EventListControl& table = static_cast<CEventTblBody*>(dialog.Window(153))->List();
        EXPECT_EQ(table.Text(13, 0), "    13");
        ExpectEverythingFits(table, "    %d");
    });
}

TEST_P(EventColumnsTest, TheListShowsItsHeaderAndAWholeRowAndTheTableReachesTheSoftKeys) {
    RunDialog([&](CLumetraDlg& dialog) {
        ASSERT_NO_FATAL_FAILURE(ShowManyEvents(dialog, Path("many.st")));
        const QRect strip = InDialog(*dialog.Window(133), dialog);
        ASSERT_EQ(strip.top(), 217);
        CEventLstBody& pane = *dialog.TraceBody()->EventList();
        EventListControl& list = pane.List();
        const QRect paneRect = InDialog(pane, dialog);
        EXPECT_EQ(paneRect, QRect(0, 180, 320, 37));
        EXPECT_FALSE(paneRect.intersects(strip));
        const QRect header = InDialog(*list.header(), dialog);
        EXPECT_TRUE(paneRect.contains(header)) << ::testing::PrintToString(header);
        EXPECT_GE(header.height(), list.header()->fontMetrics().height());
        const QRect viewport = InDialog(*list.viewport(), dialog);
        EXPECT_TRUE(paneRect.contains(viewport));
        EXPECT_GE(viewport.top(), header.bottom() + 1);
        // The first row and, reached by the arrows, a later one.
        EXPECT_TRUE(viewport.contains(RowInDialog(list, 0, dialog)));
        for (int i = 0; i < 12; ++i)
            Press(dialog, Qt::Key_Down);
        ASSERT_EQ(pane.SelectedRow(), 11);
        const QRect row = RowInDialog(list, 11, dialog);
        EXPECT_TRUE(viewport.contains(row)) << ::testing::PrintToString(row);
        EXPECT_EQ(row.height(), list.RowHeight());

        Press(dialog, Qt::Key_F3);
        auto& body = *static_cast<CEventTblBody*>(dialog.Window(153));
        ASSERT_TRUE(body.isVisible());
        const QRect bodyRect = InDialog(body, dialog);
        EXPECT_EQ(bodyRect, QRect(0, 0, 320, 217));
        EXPECT_FALSE(bodyRect.intersects(strip));
        const QRect tableRect = InDialog(body.List(), dialog);
        EXPECT_EQ(tableRect, QRect(5, 23, 310, 194));
        EXPECT_EQ(tableRect.bottom(), bodyRect.bottom());
        EXPECT_TRUE(InDialog(*body.List().viewport(), dialog).contains(RowInDialog(body.List(), 0, dialog)));
    });
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, EventColumnsTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == 0 ? "English" : "Chinese";
                         });

} // namespace
