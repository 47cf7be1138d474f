#include "instrument/acquisition/TestParameters.h"
#include "instrument/acquisition/ui/CSetInvalidMeterBody.h"
#include "instrument/acquisition/ui/CSetOtdrBody.h"
#include "instrument/acquisition/ui/CSetOtdrNav.h"
#include "instrument/app/AppEventFilter.h"
#include "instrument/app/CLumetraApp.h"
#include "instrument/app/CLumetraDlg.h"
#include "instrument/app/CNav1Dlg.h"
#include "instrument/app/CTimeAndPower.h"
#include "instrument/app/QtFrontend.h"
#include "instrument/config/IniFile.h"
#include "instrument/config/SettingsKeys.h"
#include "instrument/state/AppState.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include "tests/support/RecordingMessageBox.h"
#include "tests/support/TempRoot.h"
#include "tests/support/qt/KeypadPress.h"
#include "tests/support/qt/QtTestApp.h"

namespace {

// 128 km at 20480 ns and 0 dB, averaging for 150 s, a 1550 nm index of its own.
constexpr const char* kStoredConfig = "[param]\r\nmyTestWay=0\r\nmyPuWith=8\r\nmyAtten=2\r\nmyRang=8\r\n"
                                      "myWaveLen=0\r\nmyRefractive=1.4680\r\nmyRefractive_1550=1.4690\r\n"
                                      "myCableRatio=1.0\r\nmyEventThreshold=0.1\r\nmyAvgTime=150\r\n";

class SettingsScreenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    void SetUp() override {
        TestRunning = 0;
        qApp->installEventFilter(&filter);
        root.Write("NandFlash/config.ini", Utf16Bytes(kStoredConfig));
        platform::SetMessageBoxService(boxes);
    }
    void TearDown() override { platform::SetMessageBoxService(nullptr); }

    // Runs the main dialog with the settings screen opened from the keypad (F4, then F1).
    void RunSettings(const std::function<void(CLumetraDlg&, CSetOtdrBody&, CSetOtdrNav&)>& body) {
        frontend.OnDialogCreated([&](CLumetraDlg& dialog) {
            QTimer::singleShot(0, &dialog, [&] {
                Press(dialog, Qt::Key_F4);
                Press(dialog, Qt::Key_F1);
                auto& nav = *static_cast<CSetOtdrNav*>(dialog.Window(144));
                EXPECT_EQ(dialog.CurrentPanel, &nav);
                body(dialog, dialog.TestSettings(), nav);
                dialog.PostQuit(18);
            });
        });
        frontend.RunMainDialog();
    }
    static void Press(CLumetraDlg& dialog, int key, const QString& text = {}) {
        PressKeypad(dialog, key, text);
    }
    // Typed on the keypad's character keys into the focused control.
    static void Type(CLumetraDlg& dialog, const QString& text) {
        for (const QChar c : text)
            Press(dialog, c == '.' ? Qt::Key_Period : Qt::Key_0 + (c.unicode() - '0'), QString(c));
    }
    // Focus from the test way (1035) F3 steps on.
    static void FocusFromTop(CLumetraDlg& dialog, CSetOtdrNav& nav, int id) {
        while (nav.FocusedControl() > CSetOtdrBody::kFirstControl)
            Press(dialog, Qt::Key_F2);
        while (nav.FocusedControl() < id)
            Press(dialog, Qt::Key_F3);
    }
    static QString Shown(const CSetOtdrBody& body, int id) {
        QWidget* control = body.Control(id);
        if (auto* list = qobject_cast<QComboBox*>(control))
            return list->currentText();
        return static_cast<QLineEdit*>(control)->text();
    }
    static std::u16string Stored(const char16_t* key) {
        return IniFile(settings::kConfigFile).GetString(settings::kParam, key, u"none");
    }

    TempRoot root;
    std::shared_ptr<RecordingMessageBox> boxes = std::make_shared<RecordingMessageBox>();
    QtFrontend frontend;
    CLumetraApp app{frontend};
    AppEventFilter filter{app, frontend};
};

TEST_F(SettingsScreenTest, TheTestWaysForceAndGreyTheirFields) {
    RunSettings([&](CLumetraDlg& dialog, CSetOtdrBody& body, CSetOtdrNav& nav) {
        EXPECT_EQ(Shown(body, 1040), "20480ns");
        FocusFromTop(dialog, nav, 1035);
        EXPECT_EQ(dialog.focusWidget(), body.Control(1035));
        Press(dialog, Qt::Key_Down); // real-time
        EXPECT_FALSE(body.Control(1036)->isEnabled());
        EXPECT_TRUE(body.Control(1039)->isEnabled());
        Press(dialog, Qt::Key_Down); // automatic
        EXPECT_EQ(Shown(body, 1039), "128km");
        EXPECT_EQ(Shown(body, 1040), "1280ns");
        EXPECT_EQ(Shown(body, 1041), "5dB");
        EXPECT_EQ(Shown(body, 1036), "20");
        for (int id : {1039, 1040, 1041})
            EXPECT_FALSE(body.Control(id)->isEnabled()) << id;
        EXPECT_TRUE(body.Control(1036)->isEnabled());
        Press(dialog, Qt::Key_Up);
        Press(dialog, Qt::Key_Up); // averaging: everything open again, the forced values kept
        for (int id : {1036, 1039, 1040, 1041})
            EXPECT_TRUE(body.Control(id)->isEnabled()) << id;
        EXPECT_EQ(Shown(body, 1040), "1280ns");
        // F4 cancels; the focused list does not take it for its pop-up key.
        Press(dialog, Qt::Key_F4);
        EXPECT_FALSE(static_cast<QComboBox*>(body.Control(1035))->view()->isVisible());
        EXPECT_EQ(dialog.CurrentPanel, &dialog.MainPanel());
    });
}

TEST_F(SettingsScreenTest, OkAppliesAndSavesWhatIsShownAndReportsTheNewRangeAndPulse) {
    RunSettings([&](CLumetraDlg& dialog, CSetOtdrBody& body, CSetOtdrNav& nav) {
        FocusFromTop(dialog, nav, 1039);
        EXPECT_EQ(dialog.focusWidget(), body.Control(1039));
        Press(dialog, Qt::Key_Up); // 64 km: 20480 ns is still offered, 150 s still allowed
        EXPECT_EQ(Shown(body, 1040), "20480ns");
        EXPECT_EQ(Shown(body, 1036), "150");
        Press(dialog, Qt::Key_Up); // 32 km
        Press(dialog, Qt::Key_Up); // 16 km: at most 100 s and 1280 ns, 5 dB
        EXPECT_EQ(Shown(body, 1036), "100");
        EXPECT_EQ(Shown(body, 1040), "5120ns");
        EXPECT_EQ(Shown(body, 1041), "5dB");
        Press(dialog, Qt::Key_F1);
        EXPECT_EQ(dialog.CurrentPanel, &dialog.MainPanel());
        EXPECT_FALSE(body.isVisible());
        EXPECT_EQ(TestParam.Value(kRangeItem), 16.0f);
        EXPECT_EQ(TestParam.Value(kPulseWidthItem), 5120.0f);
        EXPECT_EQ(Stored(settings::kRange), u"5");
        EXPECT_EQ(Stored(settings::kPulseWidth), u"6");
        EXPECT_EQ(Stored(settings::kAverageTime), u"100");
        EXPECT_TRUE(dialog.StatusBar()->Message().endsWith("16.0 km 5120 ns"))
            << dialog.StatusBar()->Message().toStdString();
        EXPECT_EQ(boxes->Count(), 0u);
    });
}

TEST_F(SettingsScreenTest, EachWavelengthKeepsItsOwnRefractiveIndex) {
    RunSettings([&](CLumetraDlg& dialog, CSetOtdrBody& body, CSetOtdrNav& nav) {
        FocusFromTop(dialog, nav, 1042);
        Type(dialog, "1.5"); // the whole text was selected: replaced
        EXPECT_EQ(Shown(body, 1042), "1.5");
        // Cancel brings back the stored text; typed-but-unsaved text goes with a wavelength change.
        Press(dialog, Qt::Key_Escape);
        EXPECT_EQ(dialog.CurrentPanel, &dialog.MainPanel());
        EXPECT_EQ(Shown(body, 1042), "1.4680");
        Press(dialog, Qt::Key_F4);
        Press(dialog, Qt::Key_F1);
        FocusFromTop(dialog, nav, 1042);
        Type(dialog, "1.47");
        FocusFromTop(dialog, nav, 1038);
        Press(dialog, Qt::Key_Down);
        EXPECT_EQ(Shown(body, 1042), "1.4690");
        FocusFromTop(dialog, nav, 1042);
        Type(dialog, "1.4712");
        Press(dialog, Qt::Key_F1);
        EXPECT_EQ(Stored(settings::kRefractive1550), u"1.4712");
        EXPECT_EQ(Stored(settings::kRefractive), u"1.4680");
        EXPECT_FLOAT_EQ(TestParam.Value(kRefractiveItem), 1.4712f);
        // Back at 1310 nm the stored 1310 text shows; at 1550 nm again the one just saved.
        Press(dialog, Qt::Key_F4);
        Press(dialog, Qt::Key_F1);
        FocusFromTop(dialog, nav, 1038);
        Press(dialog, Qt::Key_Up);
        EXPECT_EQ(Shown(body, 1042), "1.4680");
        Press(dialog, Qt::Key_Down);
        EXPECT_EQ(Shown(body, 1042), "1.4712");
    });
}

TEST_F(SettingsScreenTest, FocusStepsStopAtBothEndsAndEditsTakeOnlyTheirCharacters) {
    RunSettings([&](CLumetraDlg& dialog, CSetOtdrBody& body, CSetOtdrNav& nav) {
        FocusFromTop(dialog, nav, 1035);
        Press(dialog, Qt::Key_F2);
        EXPECT_EQ(nav.FocusedControl(), 1035);
        EXPECT_EQ(dialog.focusWidget(), body.Control(1035));
        Press(dialog, Qt::Key_F3);
        Press(dialog, Qt::Key_F3); // the hidden test item is passed over
        EXPECT_EQ(nav.FocusedControl(), 1038);
        EXPECT_EQ(dialog.focusWidget(), body.Control(1038));
        Press(dialog, Qt::Key_F2);
        EXPECT_EQ(nav.FocusedControl(), 1036);
        auto* average = static_cast<QLineEdit*>(body.Control(1036));
        EXPECT_EQ(average->selectedText(), "150");
        Type(dialog, "1.2"); // digits only
        EXPECT_EQ(average->text(), "12");
        FocusFromTop(dialog, nav, 1044);
        Press(dialog, Qt::Key_F3);
        EXPECT_EQ(nav.FocusedControl(), 1044);
        EXPECT_EQ(dialog.focusWidget(), body.Control(1044));
        Type(dialog, "0.1.5"); // one point
        EXPECT_EQ(Shown(body, 1044), "0.15");
    });
}

TEST_F(SettingsScreenTest, ARefusedValueKeepsTheScreenTheParametersAndTheFile) {
    RunSettings([&](CLumetraDlg& dialog, CSetOtdrBody& body, CSetOtdrNav& nav) {
        const TestParameterTable before = TestParam;
        FocusFromTop(dialog, nav, 1044);
        Type(dialog, "0.001");
        FocusFromTop(dialog, nav, 1039);
        Press(dialog, Qt::Key_Up);
        Press(dialog, Qt::Key_F1);
        ASSERT_EQ(boxes->Count(), 1u);
        EXPECT_EQ(dialog.CurrentPanel, &nav);
        EXPECT_TRUE(body.isVisible());
        EXPECT_EQ(TestParam.Values(), before.Values());
        EXPECT_EQ(Stored(settings::kRange), u"8");
        EXPECT_EQ(Stored(settings::kEventThreshold), u"0.1");
        // Cancel leaves the refused values behind.
        Press(dialog, Qt::Key_F4);
        EXPECT_EQ(Shown(body, 1044), "0.1");
        EXPECT_EQ(Shown(body, 1039), "128km");
    });
}

// A flash that refuses the settings file: the user is told, nothing is taken into use, and OK tries again.
TEST_F(SettingsScreenTest, ASaveTheFlashRefusesIsReportedAndNothingIsTakenIntoUse) {
    RunSettings([&](CLumetraDlg& dialog, CSetOtdrBody& body, CSetOtdrNav& nav) {
        const TestParameterTable before = TestParam;
        const std::filesystem::path config = root.Path() / "NandFlash" / "config.ini";
        const std::string stored = root.Read("NandFlash/config.ini");
        std::filesystem::remove(config);
        std::filesystem::create_directory(config); // nothing can be written in its place
        FocusFromTop(dialog, nav, 1039);
        Press(dialog, Qt::Key_Up); // 64 km
        Press(dialog, Qt::Key_F1);
        ASSERT_EQ(boxes->Count(), 1u);
        EXPECT_EQ(boxes->shown[0].text.substr(0, 36), u"The settings could not be saved to t");
        EXPECT_EQ(dialog.CurrentPanel, &nav);
        EXPECT_TRUE(body.isVisible());
        EXPECT_EQ(Shown(body, 1039), "64km");
        EXPECT_EQ(TestParam.Values(), before.Values());

        std::filesystem::remove(config);
        root.Write("NandFlash/config.ini", stored);
        Press(dialog, Qt::Key_F1);
        EXPECT_EQ(boxes->Count(), 1u);
        EXPECT_EQ(dialog.CurrentPanel, &dialog.MainPanel());
        EXPECT_EQ(TestParam.Value(kRangeItem), 64.0f);
        EXPECT_EQ(Stored(settings::kRange), u"7");
    });
}

TEST_F(SettingsScreenTest, TheFocusedControlIsFramedAndGreyedControlsArePassedOver) {
    RunSettings([&](CLumetraDlg& dialog, CSetOtdrBody& body, CSetOtdrNav& nav) {
        // Focus moves, and is seen, in the active window, as the instrument's one window always is.
        dialog.activateWindow();
        QCoreApplication::processEvents();
        ASSERT_EQ(QApplication::activeWindow(), &dialog);
        const QColor highlight = body.palette().color(QPalette::Highlight);
        // Whether the control is drawn with the frame all round its edge.
        const auto framed = [&](int id) {
            const QImage screen = body.grab().toImage();
            const QRect r(body.Control(id)->mapTo(&body, QPoint(0, 0)), body.Control(id)->size());
            for (const QPoint p : {r.topLeft(), r.bottomRight(), QPoint(r.center().x(), r.top() + 1),
                                   QPoint(r.left() + 1, r.center().y())})
                if (screen.pixelColor(p) != highlight)
                    return false;
            return true;
        };
        FocusFromTop(dialog, nav, 1038);
        EXPECT_TRUE(framed(1038));
        EXPECT_FALSE(framed(1039));
        Press(dialog, Qt::Key_F3);
        EXPECT_TRUE(framed(1039));
        EXPECT_FALSE(framed(1038));
        Press(dialog, Qt::Key_F3);
        Press(dialog, Qt::Key_F3);
        EXPECT_TRUE(framed(1041)); // an edit's frame as plain as a list's
        FocusFromTop(dialog, nav, 1042);
        EXPECT_TRUE(framed(1042));

        // The automatic way greys range, pulse and attenuation: the steps go round them both ways.
        FocusFromTop(dialog, nav, 1035);
        Press(dialog, Qt::Key_Down);
        Press(dialog, Qt::Key_Down);
        ASSERT_FALSE(body.Control(1039)->isEnabled());
        FocusFromTop(dialog, nav, 1038);
        Press(dialog, Qt::Key_F3);
        EXPECT_EQ(nav.FocusedControl(), 1042);
        EXPECT_EQ(dialog.focusWidget(), body.Control(1042));
        Press(dialog, Qt::Key_F2);
        EXPECT_EQ(nav.FocusedControl(), 1038);
        // Down on the focused wavelength is seen to act on it.
        EXPECT_TRUE(framed(1038));
    });
}

TEST_F(SettingsScreenTest, ARefusalMessageIsReadFromTheLanguageFileOnceARun) {
    root.Write("NandFlash/languageEN.ini",
               Utf16Bytes("[setotdr_body]\r\nmessage_EventThLimit=Threshold!\r\n"));
    LanguageId = 0;
    RunSettings([&](CLumetraDlg& dialog, CSetOtdrBody&, CSetOtdrNav& nav) {
        FocusFromTop(dialog, nav, 1044);
        Type(dialog, "0.001");
        Press(dialog, Qt::Key_F1);
        // A language file changed on the flash while the program runs is not read again.
        root.Write("NandFlash/languageEN.ini",
                   Utf16Bytes("[setotdr_body]\r\nmessage_EventThLimit=Other\r\n"));
        Press(dialog, Qt::Key_F1);
        ASSERT_EQ(boxes->Count(), 2u);
        EXPECT_EQ(boxes->shown[0].text, u"Threshold!");
        EXPECT_EQ(boxes->shown[1].text, u"Threshold!");
    });
}

TEST_F(SettingsScreenTest, TheInvalidDistanceEditIsCutAtItsFirstOtherCharacter) {
    RunSettings([&](CLumetraDlg& dialog, CSetOtdrBody&, CSetOtdrNav&) {
        auto& pane = *static_cast<CSetInvalidMeterBody*>(dialog.Window(110));
        pane.Open();
        QLineEdit& edit = *pane.Edit();
        // Pasted whole, and typed into the middle of a text.
        edit.clear();
        edit.insert(QStringLiteral("12a3"));
        EXPECT_EQ(edit.text(), "12");
        EXPECT_EQ(edit.cursorPosition(), 2);
        edit.setText("12.5");
        edit.setCursorPosition(2);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(&edit, &key);
        EXPECT_EQ(edit.text(), "12");
        EXPECT_EQ(edit.cursorPosition(), 2);
        edit.setText("0.5");
        pane.Store();
        EXPECT_EQ(IniFile(settings::kConfigFile).GetString(settings::kConfig, settings::kInvalidMeter, u""),
                  u"0.5");
        EXPECT_FLOAT_EQ(InvalidMeter, 0.5f);
        pane.hide();
    });
}

} // namespace
