#include "instrument/acquisition/TestParameters.h"
#include "instrument/acquisition/TraceData.h"
#include "instrument/app/AppEventFilter.h"
#include "instrument/app/CBody.h"
#include "instrument/app/CLumetraApp.h"
#include "instrument/app/CLumetraDlg.h"
#include "instrument/app/CNav1Dlg.h"
#include "instrument/app/CTimeAndPower.h"
#include "instrument/app/QtFrontend.h"
#include "instrument/display/ui/CCurveOprNav.h"
#include "instrument/display/ui/CDataLine.h"
#include "instrument/events/ui/CEventLstBody.h"
#include "instrument/screens/Bitmaps.h"
#include "instrument/screens/CNavPanel.h"
#include "instrument/screens/CPane.h"
#include "instrument/screens/PanelKeyEvent.h"
#include "instrument/state/AppState.h"
#include "shared/tracefile/TraceFile.h"

#include "platform/PowerKey.h"
#include "platform/Sync.h"
#include "platform/VirtualKeys.h"
#include "simboard/SimBoard.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include "tests/app/AppTestSupport.h"
#include "tests/support/TempRoot.h"
#include "tests/support/qt/QtTestApp.h"

namespace {

// Records the relayed keys a screen receives.
class ProbeScreen : public QWidget {
public:
    using QWidget::QWidget;
    std::vector<std::pair<uint32_t, uint32_t>> keys;

protected:
    bool event(QEvent* event) override {
        if (event->type() == PanelKeyEvent::kType) {
            const auto* key = static_cast<PanelKeyEvent*>(event);
            keys.emplace_back(key->VirtualKey(), key->Message());
            return true;
        }
        return QWidget::event(event);
    }
};

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    void SetUp() override {
        TestRunning = 0;
        qApp->installEventFilter(&filter);
    }

    // Runs the main dialog modally, does `body` in it, and returns its exit code.
    int RunDialog(const std::function<void(CLumetraDlg&)>& body) {
        frontend.OnDialogCreated([&](CLumetraDlg& dialog) {
            QTimer::singleShot(0, &dialog, [&] {
                body(dialog);
                dialog.PostQuit(18);
            });
        });
        return frontend.RunMainDialog();
    }
    static void Send(CLumetraDlg& dialog, QEvent::Type type, int key, bool repeat = false) {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), repeat);
        QCoreApplication::sendEvent(dialog.windowHandle(), &event);
    }

    QtFrontend frontend;
    CLumetraApp app{frontend};
    AppEventFilter filter{app, frontend};
};

TEST_F(MainWindowTest, KeysReachTheCurrentPanelThenThePaneUnlessATestRuns) {
    std::vector<std::pair<uint32_t, uint32_t>> panelKeys, bodyKeys;
    const int code = RunDialog([&](CLumetraDlg& dialog) {
        ProbeScreen panel(&dialog), body(&dialog);
        dialog.CurrentPanel = &panel;
        dialog.CurrentBody = &body;
        Send(dialog, QEvent::KeyPress, Qt::Key_F2);
        Send(dialog, QEvent::KeyRelease, Qt::Key_F2);
        Send(dialog, QEvent::KeyPress, Qt::Key_Escape);
        // A held key repeats as key-downs only.
        Send(dialog, QEvent::KeyPress, Qt::Key_Right);
        Send(dialog, QEvent::KeyRelease, Qt::Key_Right, true);
        Send(dialog, QEvent::KeyPress, Qt::Key_Right, true);
        Send(dialog, QEvent::KeyRelease, Qt::Key_Right);
        TestRunning = 1;
        Send(dialog, QEvent::KeyPress, Qt::Key_F1);
        Send(dialog, QEvent::KeyRelease, Qt::Key_F1);
        TestRunning = 0;
        panelKeys = panel.keys;
        bodyKeys = body.keys;
        dialog.CurrentPanel = nullptr;
        dialog.CurrentBody = nullptr;
    });
    EXPECT_EQ(code, 18); // Escape did not end the dialog
    using namespace platform;
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {VK_F2, WM_KEYDOWN},    {VK_F2, WM_KEYUP},      {VK_ESCAPE, WM_KEYDOWN},
        {VK_RIGHT, WM_KEYDOWN}, {VK_RIGHT, WM_KEYDOWN}, {VK_RIGHT, WM_KEYUP}};
    EXPECT_EQ(panelKeys, expected);
    EXPECT_EQ(bodyKeys, expected);
}

TEST_F(MainWindowTest, F12IsThePowerKeyAndTheShutdownPictureCoversTheScreen) {
    const auto event = platform::CreateNamedEvent(platform::kPowerKeyEvent, true, false);
    bool pictureShown = false;
    RunDialog([&](CLumetraDlg& dialog) {
        ProbeScreen panel(&dialog);
        dialog.CurrentPanel = &panel;
        Send(dialog, QEvent::KeyPress, Qt::Key_F12);
        Send(dialog, QEvent::KeyRelease, Qt::Key_F12);
        EXPECT_TRUE(panel.keys.empty());
        dialog.CurrentPanel = nullptr;
        frontend.SendShowCloseBack();
        const QImage screen = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
        pictureShown = screen == Bitmap(167).toImage().convertToFormat(QImage::Format_RGB32);
    });
    EXPECT_TRUE(event->Wait(0));
    EXPECT_TRUE(pictureShown);
}

} // namespace

namespace {

CNavPanel* Panel(CLumetraDlg& dialog) {
    return static_cast<CNavPanel*>(dialog.CurrentPanel);
}

TEST_F(MainWindowTest, StartsOnTheTraceViewWithTheMainPanelAndItsLabels) {
    TempRoot root;
    root.Write("NandFlash/languageEN.ini",
               Utf16Bytes("[Nav1Dlg]\r\nfirstbutton=Trace\r\nsecondbutton=File\r\nthirdbutton=Events\r\n"
                          "fourthbutton=More\r\n"));
    LanguageId = 0;
    RunDialog([&](CLumetraDlg& dialog) {
        ASSERT_NE(Panel(dialog), nullptr);
        EXPECT_EQ(Panel(dialog)->Resource(), 133);
        EXPECT_EQ(dialog.CurrentBody, dialog.TraceBody());
        EXPECT_TRUE(dialog.CurrentBodyIsTraceView());
        EXPECT_EQ(dialog.TraceBody()->geometry(), QRect(0, 0, 320, 217));
        EXPECT_EQ(Panel(dialog)->geometry(), QRect(0, 217, 320, 23));
        EXPECT_EQ(dialog.StatusBar()->parentWidget(), dialog.TraceBody());
        const char* labels[] = {"Trace", "File", "Events", "More"};
        for (int slot = 0; slot < 4; ++slot) {
            EXPECT_EQ(Panel(dialog)->Button(slot)->geometry(), QRect(10 + 77 * slot, 0, 70, 22));
            EXPECT_EQ(Panel(dialog)->Button(slot)->text(), QString::fromLatin1(labels[slot]));
        }
    });
    // No language file chosen: the panels keep their own captions.
    LanguageId = 7;
    RunDialog(
        [&](CLumetraDlg& dialog) { EXPECT_EQ(Panel(dialog)->Button(3)->text(), QStringLiteral("下一页")); });
    LanguageId = 0;
}

TEST_F(MainWindowTest, FunctionKeyAndTapRunTheSameActionOnKeyDownOnly) {
    RunDialog([&](CLumetraDlg& dialog) {
        CNavPanel* main = Panel(dialog);
        Send(dialog, QEvent::KeyPress, Qt::Key_F4);
        CNavPanel* second = Panel(dialog);
        EXPECT_EQ(second->Resource(), 134);
        EXPECT_TRUE(second->isVisible());
        EXPECT_FALSE(main->isVisible());
        // The release of F4 reaches the second panel and does nothing there.
        Send(dialog, QEvent::KeyRelease, Qt::Key_F4);
        EXPECT_EQ(Panel(dialog), second);
        second->Button(3)->click();
        EXPECT_EQ(Panel(dialog), main);
        main->Button(3)->click();
        EXPECT_EQ(Panel(dialog), second);
        Send(dialog, QEvent::KeyPress, Qt::Key_F4);
        EXPECT_EQ(Panel(dialog), main);
        EXPECT_EQ(dialog.CurrentBody, dialog.TraceBody());
        // The main panel has no back action; during a test keys reach no panel.
        Send(dialog, QEvent::KeyPress, Qt::Key_Escape);
        EXPECT_EQ(Panel(dialog), main);
        TestRunning = 1;
        Send(dialog, QEvent::KeyPress, Qt::Key_F4);
        TestRunning = 0;
        EXPECT_EQ(Panel(dialog), main);
    });
}

} // namespace

namespace {

int Resource(QWidget* widget) {
    if (auto* panel = dynamic_cast<CNavPanel*>(widget))
        return panel->Resource();
    if (auto* pane = dynamic_cast<CPane*>(widget))
        return pane->Resource();
    if (auto* body = dynamic_cast<CBody*>(widget))
        return body->Resource();
    return 0;
}

// The screens a walk through the panels passes, as (panel, pane) resources; step 4 is Escape.
std::vector<std::pair<int, int>> Walk(CLumetraDlg& dialog, const std::vector<int>& steps, bool tap,
                                      const std::function<void(CLumetraDlg&, QEvent::Type, int)>& send) {
    std::vector<std::pair<int, int>> seen;
    for (const int slot : steps) {
        if (slot == 4)
            send(dialog, QEvent::KeyPress, Qt::Key_Escape);
        else if (tap)
            Panel(dialog)->Button(slot)->click();
        else
            send(dialog, QEvent::KeyPress, Qt::Key_F1 + slot);
        seen.emplace_back(Resource(dialog.CurrentPanel), Resource(dialog.CurrentBody));
        EXPECT_TRUE(dialog.CurrentPanel->isVisible());
        EXPECT_TRUE(dialog.CurrentBody->isVisible());
    }
    return seen;
}

TEST_F(MainWindowTest, EveryScreenIsReachedAlikeByTapAndKeyAndBackActionsReturnToTheTraceView) {
    const std::vector<int> steps = {2, 4, 0, 3, 3, 0, 4, 3, 1, 0, 3, 1, 0, 4, 2, 3, 2, 4, 3};
    const std::vector<std::pair<int, int>> expected = {
        {143, 153}, {133, 129}, {138, 129}, {133, 129}, {134, 129}, {144, 154}, {133, 129},
        {134, 129}, {146, 129}, {163, 162}, {146, 129}, {147, 156}, {146, 129}, {134, 129},
        {107, 106}, {134, 129}, {107, 106}, {134, 129}, {133, 129}};
    std::vector<std::pair<int, int>> byKey, byTap;
    RunDialog([&](CLumetraDlg& dialog) {
        byKey = Walk(dialog, steps, false, [](CLumetraDlg& d, QEvent::Type t, int k) { Send(d, t, k); });
    });
    RunDialog([&](CLumetraDlg& dialog) {
        byTap = Walk(dialog, steps, true, [](CLumetraDlg& d, QEvent::Type t, int k) { Send(d, t, k); });
    });
    EXPECT_EQ(byKey, expected);
    // Escape has no button; a tap walk presses the key there too.
    EXPECT_EQ(byTap, expected);
}

TEST_F(MainWindowTest, EveryScreenExistsOnceAndTheFilePanelOpensOnlyWhatCanBeSaved) {
    RunDialog([&](CLumetraDlg& dialog) {
        for (const int resource : {129, 133, 134, 136, 139, 140, 166, 142, 138, 160, 143, 144, 146, 163,
                                   147, 107, 151, 161, 152, 153, 154, 162, 156, 104, 106, 109, 110})
            EXPECT_NE(dialog.Window(resource), nullptr) << resource;
        EXPECT_EQ(dialog.Window(110)->geometry(), QRect(0, 0, 320, 240));
        // A panel whose section names one label keeps its own captions on the other buttons.
        auto* eventTable = static_cast<CNavPanel*>(dialog.Window(143));
        EXPECT_TRUE(eventTable->Button(1)->text().isEmpty());
        EXPECT_FALSE(eventTable->Button(0)->text().isEmpty());
        TraceLoaded = 0;
        Send(dialog, QEvent::KeyPress, Qt::Key_F2);
        EXPECT_EQ(Panel(dialog)->Resource(), 136);
        EXPECT_FALSE(Panel(dialog)->Button(0)->isEnabled());
    });
}

} // namespace

namespace {

TEST_F(MainWindowTest, CurvePanelModesShiftZoomRestoreAndBack) {
    TempRoot root;
    std::vector<uint32_t> samples(16384, 40000);
    ASSERT_EQ(tracefile::WriteTraceFile(
                  root.Path() / "t.st", samples,
                  tracefile::ParameterBlock::FromParameters({16, 1310, 320, 5, 0, 1.468f, 1.0f, 0.1f}, 7, 0)),
              1);
    RunDialog([&](CLumetraDlg& dialog) {
        ASSERT_EQ(dialog.TraceView().BuildFromFile((root.Path() / "t.st").string()), 0);
        const TraceScale& scale = *dialog.TraceView().Scale();
        Send(dialog, QEvent::KeyPress, Qt::Key_F1);
        auto* curve = dynamic_cast<CCurveOprNav*>(Panel(dialog));
        ASSERT_NE(curve, nullptr);
        Send(dialog, QEvent::KeyPress, Qt::Key_Up);
        Send(dialog, QEvent::KeyPress, Qt::Key_Up);
        EXPECT_EQ(scale.VerticalShift(), 20);
        EXPECT_EQ(dialog.StatusBar()->OperationBitmap(), 140);
        Send(dialog, QEvent::KeyPress, Qt::Key_F1);
        Send(dialog, QEvent::KeyPress, Qt::Key_F2);
        EXPECT_TRUE(curve->VerticalMode());
        EXPECT_FALSE(curve->HorizontalMode());
        EXPECT_FALSE(curve->Button(0)->styleSheet().contains("255, 204, 151"));
        EXPECT_TRUE(curve->Button(1)->styleSheet().contains("255, 204, 151"));
        Send(dialog, QEvent::KeyPress, Qt::Key_Down); // already at zoom 1
        EXPECT_FLOAT_EQ(scale.VerticalZoom(), 1.0f);
        EXPECT_EQ(dialog.StatusBar()->OperationBitmap(), 138);
        Send(dialog, QEvent::KeyPress, Qt::Key_F1);
        Send(dialog, QEvent::KeyPress, Qt::Key_Up);
        EXPECT_EQ(scale.Step(), 25u);
        Send(dialog, QEvent::KeyPress, Qt::Key_F3);
        EXPECT_EQ(scale.Step(), 51u);
        EXPECT_EQ(scale.VerticalShift(), 0);
        EXPECT_EQ(dialog.StatusBar()->OperationBitmap(), 144);
        Send(dialog, QEvent::KeyPress, Qt::Key_F1);
        Send(dialog, QEvent::KeyPress, Qt::Key_Up);
        Send(dialog, QEvent::KeyPress, Qt::Key_Escape);
        EXPECT_EQ(Panel(dialog)->Resource(), 133);
        EXPECT_EQ(scale.Step(), 25u); // Escape keeps the zoom
        EXPECT_FALSE(curve->HorizontalMode());
        // Back on the trace view, the arrows move the cursor.
        Send(dialog, QEvent::KeyPress, Qt::Key_Right);
        EXPECT_EQ(scale.Column(1), 1);
    });
}

} // namespace

namespace {

TEST_F(MainWindowTest, OnTheCurvePanelUpAndDownShiftTheTraceAndLeaveTheEventSelection) {
    RunDialog([&](CLumetraDlg& dialog) {
        CDataLine& view = dialog.TraceView();
        ASSERT_EQ(view.BuildFromFile(std::string(SOURCE_DIR) + "/data/traces/sample_16km.st"), 0);
        const CEventLstBody& list = *dialog.TraceBody()->EventList();
        ASSERT_GT(list.RowCount(), 0);
        const int cursor = view.Scale()->Column(view.Scale()->Active());
        Send(dialog, QEvent::KeyPress, Qt::Key_F1);
        ASSERT_NE(dynamic_cast<CCurveOprNav*>(Panel(dialog)), nullptr);
        Send(dialog, QEvent::KeyPress, Qt::Key_Down);
        Send(dialog, QEvent::KeyRelease, Qt::Key_Down);
        EXPECT_EQ(view.Scale()->VerticalShift(), -10);
        EXPECT_EQ(list.SelectedRow(), -1);
        EXPECT_EQ(view.Scale()->Column(view.Scale()->Active()), cursor);
        // Back on the trace view the list takes them again.
        Send(dialog, QEvent::KeyPress, Qt::Key_Escape);
        Send(dialog, QEvent::KeyPress, Qt::Key_Down);
        EXPECT_EQ(list.SelectedRow(), 0);
    });
}

TEST_F(MainWindowTest, TheEventListIsRefilledAfterEveryAnalysis) {
    RunDialog([&](CLumetraDlg& dialog) {
        CDataLine& view = dialog.TraceView();
        CEventLstBody& list = *dialog.TraceBody()->EventList();
        EXPECT_EQ(list.RowCount(), 0);
        ASSERT_EQ(view.BuildFromFile(std::string(SOURCE_DIR) + "/data/traces/sample_16km.st"), 0);
        ASSERT_GT(view.Events().GetEventCount(), 0);
        EXPECT_EQ(list.RowCount(), view.Events().GetEventCount());
        // The connector at 2.5 km of the link the trace was measured on.
        EXPECT_TRUE(list.Row(0).startsWith(QStringLiteral("   0  2.49"))) << list.Row(0).toStdString();
        view.Reanalyse();
        EXPECT_EQ(list.RowCount(), view.Events().GetEventCount());
        EXPECT_EQ(list.geometry(), QRect(0, 180, 320, 37));
    });
}

} // namespace

namespace {

// Runs the event loop until the condition holds (real time, at most timeoutMs).
bool SpinUntil(const std::function<bool()>& condition, int timeoutMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return condition();
}

class MainPanelTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        StopRealtimeRequest = 0;
        simboard::RegisterSimulatedBoard();
        simboard::SimBoard::Instance().Reset();
    }
    void TearDown() override { TestThreadTime.reset(); }
    // The settings the settings pane loads at creation, and a test thread in virtual time.
    void MeasureWith(int way, int rangeIndex, const std::string& refractive = "1.4680") {
        root.Write("NandFlash/config.ini", Utf16Bytes("[param]\r\n"));
        SettingsFields fields = LoadSettingsFields();
        fields.testWay = way;
        fields.rangeIndex = rangeIndex;
        fields.pulseIndex = ClampPulseIndex(rangeIndex, 3);
        fields.refractive = refractive;
        SaveSettingsFields(fields);
        TestThreadTime = std::make_shared<platform::FastTime>();
    }
    void Press(CLumetraDlg& dialog, int key) {
        Send(dialog, QEvent::KeyPress, key);
        Send(dialog, QEvent::KeyRelease, key);
    }
    static bool Ended(CLumetraDlg& dialog) { return !dialog.MainPanel().TestActive() && TestRunning == 0; }
    static bool KeysEnabled(CLumetraDlg& dialog) {
        bool all = true;
        for (int slot = 0; slot < CNavPanel::kSlots; ++slot)
            all = all && dialog.MainPanel().Button(slot)->isEnabled();
        return all;
    }
    TempRoot root;
};

TEST_F(MainPanelTest, TheKeyTMeasuresAnalysesAndGivesTheKeysBack) {
    MeasureWith(0, 3); // 4 km: the first connector lies at 2.5 km
    RunDialog([&](CLumetraDlg& dialog) {
        // From the curve panel: T hides it and the test start brings the main panel back.
        Press(dialog, Qt::Key_F1);
        Press(dialog, Qt::Key_T);
        EXPECT_EQ(dialog.CurrentPanel, &dialog.MainPanel());
        EXPECT_TRUE(dialog.MainPanel().isVisible());
        EXPECT_TRUE(dialog.MainPanel().TestActive());
        EXPECT_FALSE(KeysEnabled(dialog));
        const QString during = dialog.StatusBar()->Message();
        EXPECT_TRUE(during.endsWith(QStringLiteral(" 1310 nm"))) << during.toStdString();
        bool waitShown = false;
        ASSERT_TRUE(SpinUntil([&] {
            waitShown = waitShown || dialog.WaitWindow().isVisible();
            return Ended(dialog);
        }));
        EXPECT_TRUE(waitShown);
        EXPECT_FALSE(dialog.WaitWindow().isVisible());
        EXPECT_TRUE(KeysEnabled(dialog));
        EXPECT_TRUE(dialog.MainPanel().ModuleOffTimerActive());
        EXPECT_EQ(CurrentTrace().Count(), 8192u);
        EXPECT_GT(dialog.EventList().RowCount(), 0);
        EXPECT_EQ(TraceLoaded, 1);
        // Arrow keys move the trace cursor again.
        const int before = dialog.TraceView().Scale()->Column(1);
        Press(dialog, Qt::Key_Right);
        EXPECT_EQ(dialog.TraceView().Scale()->Column(1), before + 1);
    });
}

TEST_F(MainPanelTest, ARealtimeTestStopsOnlyOnTheReleaseOfEscapeOrT) {
    MeasureWith(1, 2);
    RunDialog([&](CLumetraDlg& dialog) {
        for (int stopKey : {Qt::Key_Escape, Qt::Key_T}) {
            Press(dialog, Qt::Key_T);
            ASSERT_TRUE(SpinUntil([] { return TestRunning == 1; }));
            // During the test no key reaches a panel: F4 would open the second panel.
            Press(dialog, Qt::Key_F4);
            EXPECT_EQ(dialog.CurrentPanel, &dialog.MainPanel());
            Send(dialog, QEvent::KeyPress, stopKey);
            SpinUntil([] { return false; }, 100);
            EXPECT_EQ(TestRunning, 1);
            bool waitShown = false;
            Send(dialog, QEvent::KeyRelease, stopKey);
            ASSERT_TRUE(SpinUntil([&] {
                waitShown = waitShown || dialog.WaitWindow().isVisible();
                return Ended(dialog);
            }));
            EXPECT_FALSE(waitShown);
            EXPECT_TRUE(KeysEnabled(dialog));
            EXPECT_EQ(CurrentTrace().Count(), 4096u);
        }
    });
}

TEST_F(MainPanelTest, TheKeyTStartsNothingAwayFromTheTraceViewNorWithRefusedSettings) {
    MeasureWith(0, 1, "2.0");
    auto boxes = std::make_shared<RecordingMessageBox>();
    platform::SetMessageBoxService(boxes);
    RunDialog([&](CLumetraDlg& dialog) {
        Press(dialog, Qt::Key_F3); // the event table
        Press(dialog, Qt::Key_T);
        EXPECT_FALSE(dialog.MainPanel().TestActive());
        EXPECT_EQ(boxes->Count(), 0u);
        Press(dialog, Qt::Key_Escape);
        ASSERT_TRUE(dialog.CurrentBodyIsTraceView());
        // The refractive index 2.0 is refused: its warning, no test, the panel usable, and what was
        // shown stays: the events, the trace and nothing to save.
        ASSERT_EQ(dialog.TraceView().BuildFromFile(std::string(SOURCE_DIR) + "/data/traces/sample_16km.st"),
                  0);
        const int rows = dialog.EventList().RowCount();
        ASSERT_GT(rows, 0);
        TraceLoaded = 0;
        Press(dialog, Qt::Key_F1);
        Press(dialog, Qt::Key_T);
        EXPECT_FALSE(dialog.MainPanel().TestActive());
        EXPECT_EQ(TestRunning, 0);
        EXPECT_EQ(boxes->Count(), 1u);
        EXPECT_TRUE(KeysEnabled(dialog));
        EXPECT_EQ(dialog.CurrentPanel, &dialog.MainPanel());
        EXPECT_TRUE(dialog.MainPanel().isVisible());
        EXPECT_EQ(dialog.EventList().RowCount(), rows);
        EXPECT_EQ(TraceLoaded, 0);
        EXPECT_EQ(CurrentTrace().Count(), 16384u);
    });
    platform::SetMessageBoxService(nullptr);
}

TEST_F(MainPanelTest, TheAutomaticWayEndsWithTheChosenRangeShown) {
    MeasureWith(2, 8);
    RunDialog([&](CLumetraDlg& dialog) {
        Press(dialog, Qt::Key_T);
        ASSERT_TRUE(dialog.MainPanel().TestActive());
        ASSERT_TRUE(SpinUntil([&] { return Ended(dialog); }));
        const float range = TestParam.Value(kRangeItem);
        EXPECT_LT(range, 128.0f); // the built-in link is 12 km long
        const QString expected =
            QString::asprintf("%.1f km %.0f ns", range, TestParam.Value(kPulseWidthItem));
        EXPECT_TRUE(dialog.StatusBar()->Message().endsWith(expected))
            << dialog.StatusBar()->Message().toStdString();
        EXPECT_EQ(dialog.TraceView().Scale()->SampleCount(), CurrentTrace().Count());
        EXPECT_GT(dialog.EventList().RowCount(), 0);
    });
}

} // namespace
