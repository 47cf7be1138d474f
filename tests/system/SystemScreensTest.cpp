#include "instrument/acquisition/ui/CSetInvalidMeterBody.h"
#include "instrument/app/AppEventFilter.h"
#include "instrument/app/CLumetraApp.h"
#include "instrument/app/CLumetraDlg.h"
#include "instrument/app/QtFrontend.h"
#include "instrument/app/Threads.h"
#include "instrument/config/IniFile.h"
#include "instrument/config/SettingsKeys.h"
#include "instrument/display/ui/CDataLine.h"
#include "instrument/files/ui/CFileSaveBody.h"
#include "instrument/screens/CNavPanel.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"
#include "instrument/state/WindowMessages.h"
#include "instrument/system/ui/CHelpOTDR.h"
#include "instrument/system/ui/CSubSysSetNav.h"
#include "instrument/system/ui/CSystemSetBody.h"

#include "platform/Clock.h"
#include "platform/DebugOut.h"
#include "platform/InputPanel.h"
#include "platform/Time.h"
#include "platform/qt/OnScreenKeyboard.h"

#include "tests/support/RecordingMessageBox.h"
#include "tests/support/TempRoot.h"
#include "tests/support/qt/KeypadPress.h"
#include "tests/support/qt/QtTestApp.h"
#include "tests/support/screens/DeliveredTexts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

// A clock of its own that refuses what an operating system refuses.
class TestClock : public platform::ClockBackend {
public:
    platform::LocalTime Get() override {
        std::lock_guard lock(mutex);
        return now;
    }
    bool Set(const platform::LocalTime& time) override {
        std::lock_guard lock(mutex);
        ++sets;
        if (!platform::IsValidLocalTime(time))
            return false;
        now = time;
        return true;
    }
    std::mutex mutex;
    platform::LocalTime now{2025, 3, 0, 2, 14, 30, 5, 250};
    int sets = 0;
};

class SystemScreensTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    void SetUp() override {
        TestRunning = 0;
        AutoCloseOn = 1;
        InvalidMeter = 0.0f;
        TypedCode.clear();
        qApp->installEventFilter(&filter);
        UseDeliveredTexts(root, 0);
        root.Write("NandFlash/config.ini",
                   Utf16Bytes("[config]\r\nautocloseOnOrOff=1\r\ninvainmeter=0.0\r\n"));
        MessageTitle = u"Prompt";
        UDiskRoot = "\\Hard Disk";
        platform::SetMessageBoxService(boxes);
        platform::SetClockBackend(clock);
        platform::SetDebugSink([this](std::string_view line) {
            std::lock_guard lock(debugMutex);
            debug.emplace_back(line);
        });
    }
    void TearDown() override {
        app.StopAutoClose();
        platform::SetDebugSink({});
        platform::SetClockBackend(nullptr);
        platform::SetMessageBoxService(nullptr);
        platform::SetTimeSource(nullptr);
        LanguageId = 0;
        unsetenv("LUMETRA_CALIBRATE");
    }

    // Runs the main window with `body` on its event loop; the window's exit code, which is 1 unless
    // something the body did ended the program first.
    int Run(const std::function<void(CLumetraDlg&)>& body) {
        frontend.OnDialogCreated([&](CLumetraDlg& dialog) {
            QTimer::singleShot(0, &dialog, [&] {
                dialog.activateWindow();
                QCoreApplication::processEvents();
                body(dialog);
                // Later than any quit the body posted, which ends the run first.
                QTimer::singleShot(50, &dialog, [&dialog] { dialog.PostQuit(1); });
            });
        });
        return frontend.RunMainDialog();
    }
    // A key, and what it leaves for the event loop, as between two presses of a hand.
    static void Press(CLumetraDlg& dialog, int key, const QString& text = {}) {
        PressKeypad(dialog, key, text);
        QCoreApplication::processEvents();
    }
    static void Keys(CLumetraDlg& dialog, std::initializer_list<int> keys) {
        for (const int key : keys)
            Press(dialog, key);
    }
    // Characters as key presses, as the keypad's filter and the focused control take them.
    static void Type(CLumetraDlg& dialog, const QString& text) {
        for (const QChar c : text)
            Press(dialog, c.isLetterOrNumber() ? int{c.toUpper().unicode()} : int{Qt::Key_Period},
                  QString(c));
    }
    static void Wait(int ms) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    static CNavPanel& Panel(CLumetraDlg& dialog) { return *static_cast<CNavPanel*>(dialog.CurrentPanel); }
    // From the main panel to the time and power-off screen: second panel, system, time.
    static CSystemSetBody& OpenTimeScreen(CLumetraDlg& dialog) {
        Keys(dialog, {Qt::Key_F4, Qt::Key_F2, Qt::Key_F1});
        EXPECT_EQ(Panel(dialog).Resource(), dlg::kSubSysSetNav);
        EXPECT_EQ(dialog.CurrentBody, &dialog.SystemSetPane());
        return dialog.SystemSetPane();
    }
    // Types a whole field: Down steps to it (from the power-off choice), the typed text replaces it.
    static void Enter(CLumetraDlg& dialog, CSystemSetBody::Field field, const QString& text) {
        dialog.SystemSetPane().AutoCloseButton(AutoCloseOn == 1)->setFocus();
        for (int step = 0; step <= field; ++step)
            Press(dialog, Qt::Key_Down);
        ASSERT_TRUE(dialog.SystemSetPane().Edit(field)->hasFocus());
        if (text.isEmpty())
            Press(dialog, Qt::Key_Backspace);
        else
            Type(dialog, text);
    }
    std::vector<std::u16string> Shown() {
        {
            std::lock_guard lock(boxes->mutex);
            for (const auto& box : boxes->shown) {
                EXPECT_EQ(box.flags, platform::MB_OK | platform::MB_ICONEXCLAMATION);
                EXPECT_EQ(box.title, u"Prompt");
            }
        }
        return boxes->TakeTexts();
    }
    std::string Config(const char16_t* key) const {
        const std::u16string value = IniFile(settings::kConfigFile).GetString(settings::kConfig, key, u"?");
        return QString::fromStdU16String(value).toStdString();
    }
    size_t Logged(std::string_view start) {
        std::lock_guard lock(debugMutex);
        return static_cast<size_t>(std::count_if(
            debug.begin(), debug.end(), [&](const std::string& line) { return line.starts_with(start); }));
    }

    TempRoot root;
    std::shared_ptr<TestClock> clock = std::make_shared<TestClock>();
    std::shared_ptr<RecordingMessageBox> boxes = std::make_shared<RecordingMessageBox>();
    std::mutex debugMutex;
    std::vector<std::string> debug;
    QtFrontend frontend;
    CLumetraApp app{frontend};
    AppEventFilter filter{app, frontend};
};

TEST_F(SystemScreensTest, ATypedTimeIsSetWithTheClocksSecondsAndWrongTimesAreRefusedWithTheirMessage) {
    Run([&](CLumetraDlg& dialog) {
        CSystemSetBody& body = OpenTimeScreen(dialog);
        EXPECT_EQ(body.Edit(CSystemSetBody::kYear)->text(), "2025");
        EXPECT_EQ(body.Edit(CSystemSetBody::kMonth)->text(), "03");
        EXPECT_EQ(body.Edit(CSystemSetBody::kMinute)->text(), "30");
        Enter(dialog, CSystemSetBody::kYear, "2031");
        Enter(dialog, CSystemSetBody::kHour, "07");
        Press(dialog, Qt::Key_F1);
        EXPECT_EQ(Panel(dialog).Resource(), dlg::kSystemSetNav);
        EXPECT_TRUE(dialog.CurrentBodyIsTraceView());
        EXPECT_TRUE(Shown().empty());
        const platform::LocalTime set = clock->Get();
        EXPECT_EQ(
            (std::array{set.year, set.month, set.day, set.hour, set.minute, set.second, set.milliseconds}),
            (std::array{2031, 3, 2, 7, 30, 5, 250}));

        struct Case {
            CSystemSetBody::Field field;
            QString text;
            std::u16string message;
        };
        const Case cases[] = {
            {CSystemSetBody::kYear, "1000", u"Please enter a valid date and time!"},
            {CSystemSetBody::kYear, "9999", u"Please enter a valid date and time!"},
            {CSystemSetBody::kMonth, "13", u"Please enter a valid date and time!"},
            {CSystemSetBody::kMinute, "60", u"Please enter a valid date and time!"},
            {CSystemSetBody::kDay, "", u"Please fill in all date and time fields!"},
        };
        for (const Case& wrong : cases) {
            Press(dialog, Qt::Key_F1);
            body.OnClockTimer();
            Enter(dialog, wrong.field, wrong.text);
            const int sets = clock->sets;
            Press(dialog, Qt::Key_F1);
            EXPECT_EQ(Shown(), std::vector<std::u16string>{wrong.message}) << wrong.text.toStdString();
            EXPECT_EQ(clock->sets, sets);
            EXPECT_EQ(clock->Get().year, 2031);
        }
        // Untyped fields are the clock's: a minute that turned after the last tick is not set back.
        Press(dialog, Qt::Key_F1);
        body.OnClockTimer();
        clock->now.minute = 31;
        Press(dialog, Qt::Key_F1);
        EXPECT_TRUE(Shown().empty());
        EXPECT_EQ(clock->Get().minute, 31);
        // February 31 is a day the fields allow and the clock refuses.
        Press(dialog, Qt::Key_F1);
        body.OnClockTimer();
        Enter(dialog, CSystemSetBody::kMonth, "02");
        Enter(dialog, CSystemSetBody::kDay, "31");
        Press(dialog, Qt::Key_F1);
        EXPECT_EQ(Shown(), std::vector<std::u16string>{u"The system time could not be set!"});
        EXPECT_EQ(clock->Get().month, 3);
        // The other settings of a refused confirm are still stored, and the clock runs again.
        EXPECT_EQ(Config(settings::kAutoClose), "1");
        EXPECT_TRUE(body.ClockRunning());
    });
}

TEST_F(SystemScreensTest, TypingStopsTheLiveClockAndBackingOutStartsItAgain) {
    Run([&](CLumetraDlg& dialog) {
        CSystemSetBody& body = OpenTimeScreen(dialog);
        EXPECT_TRUE(body.ClockRunning());
        EXPECT_EQ(body.ClockLive, 1);
        Enter(dialog, CSystemSetBody::kMinute, "45");
        EXPECT_FALSE(body.ClockRunning());
        EXPECT_EQ(body.ClockLive, 0);
        clock->now.minute = 31;
        Wait(1100);
        EXPECT_EQ(body.Edit(CSystemSetBody::kMinute)->text(), "45");
        // Typed characters that are no digits do not go in.
        Type(dialog, "x");
        EXPECT_EQ(body.Edit(CSystemSetBody::kMinute)->text(), "45");

        Press(dialog, Qt::Key_Escape);
        EXPECT_EQ(Panel(dialog).Resource(), dlg::kSystemSetNav);
        EXPECT_TRUE(body.ClockRunning());
        EXPECT_EQ(clock->sets, 0);
        Wait(1100);
        EXPECT_EQ(body.ClockLive, 1);
        EXPECT_EQ(body.Edit(CSystemSetBody::kMinute)->text(), "31");
        // F4 backs out the same way.
        Press(dialog, Qt::Key_F1);
        Enter(dialog, CSystemSetBody::kDay, "9");
        EXPECT_FALSE(body.ClockRunning());
        Press(dialog, Qt::Key_F4);
        EXPECT_TRUE(body.ClockRunning());
        EXPECT_EQ(clock->sets, 0);
    });
}

TEST_F(SystemScreensTest, TurningThePowerOffOffEndsItsThreadAndOnAgainStartsANewOne) {
    auto time = std::make_shared<platform::ManualTime>();
    platform::SetTimeSource(time);
    app.StartAutoClose();
    ASSERT_TRUE(time->WaitForSleepers(1));
    Run([&](CLumetraDlg& dialog) {
        CSystemSetBody& body = OpenTimeScreen(dialog);
        EXPECT_TRUE(body.AutoCloseButton(true)->isChecked());
        // On the choice Right picks off; backing out keeps power-off on.
        Press(dialog, Qt::Key_Right);
        EXPECT_TRUE(body.AutoCloseButton(false)->isChecked());
        Press(dialog, Qt::Key_F4);
        EXPECT_EQ(AutoCloseOn, 1);
        EXPECT_TRUE(app.HasAutoCloseThread());
        Press(dialog, Qt::Key_F1);
        EXPECT_TRUE(body.AutoCloseButton(true)->isChecked()) << "a choice backed out of is not kept";

        Press(dialog, Qt::Key_Right);
        Press(dialog, Qt::Key_F1);
        EXPECT_EQ(AutoCloseOn, 0);
        EXPECT_EQ(Config(settings::kAutoClose), "0");
        EXPECT_FALSE(app.HasAutoCloseThread());
        // The thread takes its quit at its next second; ten idle minutes later nothing switches off.
        time->Advance(kAutoCloseSeconds * 1000 + 2000);
        EXPECT_EQ(Logged("afxclosemachine"), 0u);

        Keys(dialog, {Qt::Key_F1, Qt::Key_Left, Qt::Key_F1});
        EXPECT_EQ(AutoCloseOn, 1);
        EXPECT_EQ(Config(settings::kAutoClose), "1");
        EXPECT_TRUE(app.HasAutoCloseThread());
        EXPECT_TRUE(time->WaitForSleepers(1));
        EXPECT_EQ(Logged("ThreadOfAutoClose"), 2u);
        time->Advance(kAutoCloseSeconds * 1000 + 2000);
        EXPECT_TRUE(Eventually([&] { return Logged("afxclosemachine") == 1; }));
    });
}

TEST_F(SystemScreensTest, TheServiceCodeOpensTheInvalidDistancePaneWhoseOkAndCancelAreEnterAndEscape) {
    Run([&](CLumetraDlg& dialog) {
        OpenTimeScreen(dialog);
        CSetInvalidMeterBody& pane = dialog.InvalidMeterPane();
        // Other digits first, and a cleared attempt, still leave the code to be found when it is typed.
        Type(dialog, "8461");
        Type(dialog, "715");
        Press(dialog, Qt::Key_F2);
        Type(dialog, "0293");
        EXPECT_TRUE(pane.isHidden());
        Type(dialog, "7150293");
        ASSERT_FALSE(pane.isHidden());
        EXPECT_EQ(dialog.CurrentBody, &pane);
        EXPECT_TRUE(dialog.SystemSetPane().isHidden());
        EXPECT_TRUE(TypedCode.empty());
        EXPECT_TRUE(pane.Edit()->hasFocus());

        Type(dialog, "12.5");
        Press(dialog, Qt::Key_Return);
        EXPECT_TRUE(pane.isHidden());
        EXPECT_EQ(dialog.CurrentBody, &dialog.SystemSetPane());
        EXPECT_EQ(Panel(dialog).Resource(), dlg::kSubSysSetNav);
        EXPECT_FLOAT_EQ(InvalidMeter, 12.5f);
        EXPECT_EQ(Config(settings::kInvalidMeter), "12.5");

        Type(dialog, "7150293");
        ASSERT_FALSE(pane.isHidden());
        Type(dialog, "40");
        Press(dialog, Qt::Key_Escape);
        EXPECT_TRUE(pane.isHidden());
        EXPECT_EQ(Panel(dialog).Resource(), dlg::kSubSysSetNav) << "Escape cancels the pane, not the screen";
        EXPECT_FLOAT_EQ(InvalidMeter, 12.5f);

        // The panel's confirm stores the pane's value too and leaves both.
        Type(dialog, "7150293");
        Type(dialog, "3");
        Press(dialog, Qt::Key_F1);
        EXPECT_TRUE(pane.isHidden());
        EXPECT_EQ(Panel(dialog).Resource(), dlg::kSystemSetNav);
        EXPECT_TRUE(dialog.CurrentBodyIsTraceView());
        EXPECT_EQ(Config(settings::kInvalidMeter), "3.0");
    });
}

TEST_F(SystemScreensTest, TheAccessWordInAnyLetterCaseEndsTheProgramWith18AfterItsQuestion) {
    boxes->answer = platform::IDOK;
    const int exitCode = Run([&](CLumetraDlg& dialog) {
        OpenTimeScreen(dialog);
        Type(dialog, "Kamir");
        EXPECT_EQ(boxes->Count(), 0u);
        Type(dialog, "MiReLkA");
        std::lock_guard lock(boxes->mutex);
        ASSERT_EQ(boxes->shown.size(), 1u);
        EXPECT_EQ(boxes->shown[0].text, u"exit application?");
        EXPECT_EQ(boxes->shown[0].title, u"Lumetra");
        EXPECT_EQ(boxes->shown[0].flags, platform::MB_OK);
        EXPECT_TRUE(TypedCode.empty());
    });
    EXPECT_EQ(exitCode, kQuitExitCode);
}

TEST_F(SystemScreensTest, TheUpdateKeyNeedsTheDiskAndTheProgramOnItThenStartsTheUpdaterAndEnds) {
    const int exitCode = Run([&](CLumetraDlg& dialog) {
        Keys(dialog, {Qt::Key_F4, Qt::Key_F2});
        ASSERT_EQ(Panel(dialog).Resource(), dlg::kSystemSetNav);
        Press(dialog, Qt::Key_F4);
        EXPECT_EQ(Shown(), std::vector<std::u16string>{u"USB disk not detected!"});
        std::filesystem::create_directories(root.Path() / "Hard Disk");
        root.Write("Hard Disk/Lumetra.txt", "not the program");
        Press(dialog, Qt::Key_F4);
        EXPECT_EQ(Shown(),
                  std::vector<std::u16string>{u"No update program (Lumetra.exe) found on the USB disk!"});
        // The program on the disk, but no updater on the flash to start: said, and the program stays.
        root.Write("Hard Disk/lumetra.EXE", "new program");
        Press(dialog, Qt::Key_F4);
        EXPECT_EQ(
            Shown(),
            std::vector<std::u16string>{
                u"The updater could not be started. Switch the instrument off and on, then try again."});
        Wait(700);
        EXPECT_EQ(Panel(dialog).Resource(), dlg::kSystemSetNav);

        root.Write("NandFlash/Vantrel.exe", "#!/bin/sh\necho started >> \"$LUMETRA_ROOT/updater-ran\"\n");
        std::filesystem::permissions(root.Path() / "NandFlash/Vantrel.exe",
                                     std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
        setenv("LUMETRA_ROOT", root.Path().c_str(), 1);
        Press(dialog, Qt::Key_F4);
        EXPECT_TRUE(Shown().empty());
        // A second press while the program ends starts no second updater.
        Press(dialog, Qt::Key_F4);
        Wait(700);
    });
    EXPECT_EQ(exitCode, kQuitExitCode);
    EXPECT_TRUE(Eventually([&] { return std::filesystem::exists(root.Path() / "updater-ran"); }));
    Wait(300);
    EXPECT_EQ(root.Read("updater-ran"), "started\n") << "one updater only";
}

TEST_F(SystemScreensTest, TouchCalibrationRunsTheConfiguredProgramOrSaysThereIsNoTouchScreen) {
    unsetenv("TSLIB_TSDEVICE");
    Run([&](CLumetraDlg& dialog) {
        Keys(dialog, {Qt::Key_F4, Qt::Key_F2});
        Press(dialog, Qt::Key_F3);
        EXPECT_EQ(Shown(), std::vector<std::u16string>{u"This instrument has no touch screen to calibrate."});
        const std::string marker = (root.Path() / "calibrated").string();
        setenv("LUMETRA_CALIBRATE", ("sleep 0.2; touch '" + marker + "'").c_str(), 1);
        Press(dialog, Qt::Key_F3);
        // It ran to its end before the key returned.
        EXPECT_TRUE(std::filesystem::exists(marker));
        EXPECT_TRUE(Shown().empty());
        setenv("LUMETRA_CALIBRATE", "exit 3", 1);
        Press(dialog, Qt::Key_F3);
        EXPECT_EQ(Shown(), std::vector<std::u16string>{
                               u"The touch screen could not be calibrated; the previous calibration stays."});
        EXPECT_EQ(Panel(dialog).Resource(), dlg::kSystemSetNav);
    });
}

TEST_F(SystemScreensTest, TheOnScreenKeyboardTypesFromTheKeypadAndByTapsAndGoesWithTheScreen) {
    Run([&](CLumetraDlg& dialog) {
        CSystemSetBody& body = OpenTimeScreen(dialog);
        Enter(dialog, CSystemSetBody::kHour, "");
        Press(dialog, Qt::Key_F3);
        ASSERT_TRUE(platform::InputPanelShown());
        platform::OnScreenKeyboard& keyboard = *frontend.InputPanel().Keyboard();
        // It leaves the control typed into in view.
        const auto covers = [&](const QWidget* control) {
            return keyboard.geometry().intersects(
                QRect(control->mapTo(&dialog, QPoint(0, 0)), control->size()));
        };
        EXPECT_FALSE(covers(body.Edit(CSystemSetBody::kHour)));
        // The arrows move the marked key and leave the pane's focus; Enter types the marked key.
        EXPECT_EQ(keyboard.MarkedKey(), "1");
        Keys(dialog, {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Right});
        EXPECT_EQ(keyboard.MarkedKey(), "3");
        EXPECT_TRUE(body.Edit(CSystemSetBody::kHour)->hasFocus());
        Press(dialog, Qt::Key_Return);
        // Up from the top row comes round to the bottom one; the field takes no "_".
        Keys(dialog, {Qt::Key_Left, Qt::Key_Left, Qt::Key_Up, Qt::Key_Return});
        EXPECT_EQ(keyboard.MarkedKey(), "_");
        EXPECT_EQ(body.Edit(CSystemSetBody::kHour)->text(), "3");
        // Taps type as the keypad does; the service code typed on it reaches the panel.
        const auto tap = [&](const QString& label) {
            for (QPushButton* key : keyboard.findChildren<QPushButton*>())
                if (key->text() == label)
                    key->click();
            QCoreApplication::processEvents();
        };
        tap("7");
        EXPECT_EQ(body.Edit(CSystemSetBody::kHour)->text(), "37");
        tap("←");
        EXPECT_EQ(body.Edit(CSystemSetBody::kHour)->text(), "3");
        tap("Tab");
        EXPECT_TRUE(body.Edit(CSystemSetBody::kMinute)->hasFocus());
        for (const QString digit : {"7", "1", "5", "0", "2", "9", "3"})
            tap(digit);
        ASSERT_FALSE(dialog.InvalidMeterPane().isHidden());
        EXPECT_TRUE(platform::InputPanelShown());
        EXPECT_TRUE(keyboard.isVisibleTo(&dialog));
        EXPECT_FALSE(covers(dialog.InvalidMeterPane().Edit()));
        Press(dialog, Qt::Key_Escape);
        // F3 hides it, and it goes with the screen.
        Press(dialog, Qt::Key_F3);
        EXPECT_FALSE(platform::InputPanelShown());
        Press(dialog, Qt::Key_F3);
        Press(dialog, Qt::Key_F4);
        EXPECT_FALSE(platform::InputPanelShown());
        // Without it the arrows are the pane's again.
        Press(dialog, Qt::Key_F1);
        body.AutoCloseButton(true)->setFocus();
        Press(dialog, Qt::Key_Down);
        EXPECT_TRUE(body.Edit(CSystemSetBody::kYear)->hasFocus());
    });
}

TEST_F(SystemScreensTest, TheSaveScreensNameEditingBringsTheKeyboard) {
    Run([&](CLumetraDlg& dialog) {
        // The save screen is offered for a measured trace only.
        TraceLoaded = 1;
        dialog.TraceView().SetParametersChanged(true);
        Keys(dialog, {Qt::Key_F2, Qt::Key_F1});
        ASSERT_EQ(dialog.CurrentBody, &dialog.FileSave());
        EXPECT_FALSE(platform::InputPanelShown());
        Press(dialog, Qt::Key_F3);
        ASSERT_TRUE(platform::InputPanelShown());
        Keys(dialog, {Qt::Key_Down, Qt::Key_Return, Qt::Key_Right, Qt::Key_Return});
        EXPECT_EQ(dialog.FileSave().NameEdit().text(), "qw");
        Press(dialog, Qt::Key_F3);
        EXPECT_FALSE(platform::InputPanelShown());
        Press(dialog, Qt::Key_F3);
        Press(dialog, Qt::Key_Escape);
        EXPECT_FALSE(platform::InputPanelShown());
    });
}

class HelpScreenTest : public SystemScreensTest, public ::testing::WithParamInterface<int> {};

TEST_P(HelpScreenTest, ThePageOfTheLanguageWithBackForwardAndTheStartPageOnTheKeys) {
    for (const char* page : {"HELP_OTDR.htm", "HELP_OTDR_En.htm"}) {
        std::ifstream in(std::string(SOURCE_DIR) + "/data/help/" + page, std::ios::binary);
        root.Write(std::string("NandFlash/") + page, {std::istreambuf_iterator<char>(in), {}});
    }
    UseDeliveredTexts(root, GetParam());
    Run([&](CLumetraDlg& dialog) {
        Keys(dialog, {Qt::Key_F4, Qt::Key_F3});
        CHelpOTDR& help = dialog.HelpPane();
        ASSERT_EQ(dialog.CurrentBody, &help);
        QTextBrowser& browser = *help.Browser();
        const QUrl start = browser.source();
        EXPECT_EQ(start.fileName(), GetParam() == 0 ? "HELP_OTDR_En.htm" : "HELP_OTDR.htm");
        EXPECT_EQ(browser.documentTitle().isEmpty(), false);
        const bool chinese = browser.toPlainText().contains(QStringLiteral("测试"));
        EXPECT_EQ(chinese, GetParam() == 1);
        EXPECT_TRUE(browser.hasFocus());

        // Right marks the first link, Enter follows it.
        Keys(dialog, {Qt::Key_Right, Qt::Key_Return});
        const QUrl followed = browser.source();
        ASSERT_FALSE(followed.fragment().isEmpty());
        Press(dialog, Qt::Key_F1);
        EXPECT_EQ(browser.source(), start);
        Press(dialog, Qt::Key_F2);
        EXPECT_EQ(browser.source(), followed);
        Press(dialog, Qt::Key_F3);
        EXPECT_EQ(browser.source(), start);
        EXPECT_EQ(browser.verticalScrollBar()->value(), 0);
        Press(dialog, Qt::Key_F4);
        EXPECT_EQ(Panel(dialog).Resource(), dlg::kNav2Dlg);
        EXPECT_TRUE(dialog.CurrentBodyIsTraceView());
    });
}

TEST_P(HelpScreenTest, AMissingPageIsSaidInThePane) {
    UseDeliveredTexts(root, GetParam());
    Run([&](CLumetraDlg& dialog) {
        Keys(dialog, {Qt::Key_F4, Qt::Key_F3});
        const QString text = dialog.HelpPane().Browser()->toPlainText();
        EXPECT_TRUE(text.contains(GetParam() == 0 ? "The help page cannot be found:" : "找不到帮助页面："));
        EXPECT_TRUE(text.contains(GetParam() == 0 ? "HELP_OTDR_En.htm" : "HELP_OTDR.htm"));
    });
}

INSTANTIATE_TEST_SUITE_P(Languages, HelpScreenTest, ::testing::Values(0, 1));

} // namespace
