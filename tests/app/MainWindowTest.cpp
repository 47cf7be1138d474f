#include "instrument/app/AppEventFilter.h"
#include "instrument/app/AppState.h"
#include "instrument/app/Bitmaps.h"
#include "instrument/app/CBody.h"
#include "instrument/app/CLumetraApp.h"
#include "instrument/app/CLumetraDlg.h"
#include "instrument/app/CNavPanel.h"
#include "instrument/app/CTimeAndPower.h"
#include "instrument/app/PanelKeyEvent.h"
#include "instrument/app/QtFrontend.h"

#include "platform/PowerKey.h"
#include "platform/Sync.h"
#include "platform/VirtualKeys.h"
#include "simboard/SimBoard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include "tests/support/QtTestApp.h"
#include "tests/support/TempRoot.h"

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
