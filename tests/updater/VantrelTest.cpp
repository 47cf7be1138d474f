#include "updater/CVantrelDlg.h"
#include "updater/UpdateSteps.h"
#include "updater/UpdaterKeyFilter.h"
#include "updater/VantrelScript.h"

#include "platform/MessageBox.h"
#include "platform/Time.h"
#include "platform/qt/QtMessageBoxService.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QWindow>
#include <gtest/gtest.h>

#include "tests/support/FileSizeLimit.h"
#include "tests/support/RecordingMessageBox.h"
#include "tests/support/TempRoot.h"
#include "tests/support/qt/QtTestApp.h"
#include "tests/updater/ProgramFile.h"

#include <QTimer>
#include <chrono>
#include <filesystem>

namespace {

class VantrelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
};

TEST_F(VantrelTest, BannerFillsTheScreen) {
    CVantrelDlg dialog;
    EXPECT_EQ(dialog.size(), QSize(320, 240));
    EXPECT_EQ(dialog.pos(), QPoint(0, 0));
    const QImage screen = dialog.grab().toImage();
    const auto* banner = dialog.findChild<QLabel*>();
    ASSERT_NE(banner, nullptr);
    ASSERT_FALSE(banner->pixmap().isNull());
    EXPECT_EQ(banner->pixmap().size(), QSize(320, 240));
    // Not a blank window: the banner has many colours.
    QSet<QRgb> colours;
    for (int y = 0; y < screen.height(); y += 4)
        for (int x = 0; x < screen.width(); x += 4)
            colours.insert(screen.pixel(x, y));
    EXPECT_GT(colours.size(), 8);
}

TEST_F(VantrelTest, EnterEscapeAndVGoNoFurther) {
    CVantrelDlg dialog;
    dialog.show();
    UpdaterKeyFilter filter;
    QWindow* window = dialog.windowHandle();
    ASSERT_NE(window, nullptr);
    for (int key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_V}) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
        EXPECT_TRUE(filter.eventFilter(window, &down)) << key;
        EXPECT_TRUE(filter.eventFilter(window, &up)) << key;
    }
    QKeyEvent other(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    EXPECT_FALSE(filter.eventFilter(window, &other));
    // Escape never closes the updater.
    QApplication::instance()->installEventFilter(&filter);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &escape);
    EXPECT_TRUE(dialog.isVisible());
}

} // namespace

namespace {

// The dialog's start on a device root, its boxes recorded and answered OK, its waits in virtual time.
class VantrelDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    void SetUp() override {
        boxes->answer = platform::IDOK;
        platform::SetMessageBoxService(boxes);
        platform::SetTimeSource(std::make_shared<platform::FastTime>());
        setenv("LUMETRA_LOCALE", "0409", 1);
    }
    void TearDown() override {
        platform::SetMessageBoxService(nullptr);
        platform::SetTimeSource(nullptr);
        unsetenv("LUMETRA_LOCALE");
    }
    void Install(const std::string& bytes) const {
        root.Write("NandFlash/Lumetra.exe", bytes);
        std::filesystem::permissions(root.Path() / "NandFlash/Lumetra.exe",
                                     std::filesystem::perms::owner_all);
    }
    // Runs the dialog as the program does; -1 when it has not ended within `ms`.
    static int Exec(CVantrelDlg& dialog, int ms = 5000) {
        QTimer::singleShot(0, &dialog, [&dialog] { dialog.OnInitDialog(); });
        QTimer::singleShot(ms, &dialog, [&dialog] { dialog.done(-1); });
        return dialog.exec();
    }

    TempRoot root;
    std::filesystem::path marker = root.Path() / "restarted";
    std::shared_ptr<RecordingMessageBox> boxes = std::make_shared<RecordingMessageBox>();
};

TEST_F(VantrelDialogTest, AFailedCheckStaysOnTheBannerWithoutAWorkerInEitherLanguage) {
    for (const char* locale : {"0409", "0804"}) {
        SCOPED_TRACE(locale);
        setenv("LUMETRA_LOCALE", locale, 1);
        const std::string disk = std::string(locale) == "0804" ? "硬盘" : "Hard Disk";
        // The other language's folder is not this system's USB disk.
        root.Write((std::string(locale) == "0804" ? "Hard Disk" : "硬盘") + std::string("/Lumetra.exe"),
                   ProgramFile("Lumetra", "1.0.1", marker));
        boxes->shown.clear();
        for (const bool folder : {false, true}) {
            if (folder)
                std::filesystem::create_directories(root.Path() / disk);
            CVantrelDlg dialog;
            dialog.show();
            dialog.OnInitDialog();
            EXPECT_FALSE(dialog.WorkerStarted());
            EXPECT_TRUE(dialog.isVisible());
        }
        ASSERT_EQ(boxes->Count(), 2u);
        EXPECT_EQ(boxes->shown[0].text, updater::kNoUsbDisk);
        EXPECT_EQ(boxes->shown[1].text, updater::kNoUpdateFile);
        for (const auto& box : boxes->shown) {
            EXPECT_EQ(box.title, u"Prompt");
            EXPECT_EQ(box.flags, platform::MB_OK | platform::MB_ICONEXCLAMATION);
        }
        std::filesystem::remove_all(root.Path() / "Hard Disk");
        std::filesystem::remove_all(root.Path() / "硬盘");
    }
}

TEST_F(VantrelDialogTest, AnUpdateEndsTheDialogWith18OnceTheProgramRunsAgain) {
    setenv("LUMETRA_LOCALE", "0804", 1);
    Install(ProgramFile("Lumetra", "1.0.0", marker));
    const std::string update = ProgramFile("Lumetra", "0.9.0", marker);
    root.Write("硬盘/Lumetra.exe", update);
    CVantrelDlg dialog;
    EXPECT_EQ(Exec(dialog), updater::kQuitExitCode);
    EXPECT_EQ(root.Read("NandFlash/Lumetra.exe"), update) << "an older version is installed too";
    ASSERT_EQ(boxes->Count(), 1u);
    EXPECT_EQ(boxes->shown[0].text, updater::kUpgraded);
    EXPECT_EQ(boxes->shown[0].title, u"Prompt");
    EXPECT_EQ(boxes->shown[0].flags, platform::MB_OK);
    EXPECT_TRUE(Eventually([&] { return std::filesystem::exists(marker); }));
}

TEST_F(VantrelDialogTest, AFailedUpgradeStaysOnTheBannerAndRestartsNothing) {
    const std::string old = ProgramFile("Lumetra", "1.0.0", marker);
    Install(old);
    root.Write("Hard Disk/Lumetra.exe", ProgramFile("Lumetra", "1.0.1", marker, 64 * 1024));
    FileSizeLimit full(16 * 1024);
    CVantrelDlg dialog;
    EXPECT_EQ(Exec(dialog, 1000), -1) << "the dialog waits for the user to switch off";
    ASSERT_EQ(boxes->Count(), 1u);
    EXPECT_EQ(boxes->shown[0].text, updater::kUpgradeFailed);
    EXPECT_EQ(boxes->shown[0].title, u"Vantrel");
    EXPECT_EQ(boxes->shown[0].flags, platform::MB_OK);
    EXPECT_EQ(root.Read("NandFlash/Lumetra.exe"), old);
    EXPECT_FALSE(std::filesystem::exists(marker));
}

// The script of VANTREL_SCRIPT, with the program's own Qt boxes.
class VantrelScriptTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    void SetUp() override {
        platform::SetMessageBoxService(boxes);
        boxes->SetOwner(&dialog);
        setenv("LUMETRA_LOCALE", "0409", 1);
    }
    void TearDown() override {
        platform::SetMessageBoxService(nullptr);
        unsetenv("LUMETRA_LOCALE");
    }
    std::string Write(const std::string& text) const {
        root.Write("script.txt", text);
        return (root.Path() / "script.txt").string();
    }

    TempRoot root;
    CVantrelDlg dialog;
    std::shared_ptr<platform::QtMessageBoxService> boxes = std::make_shared<platform::QtMessageBoxService>();
    VantrelScript script{dialog, *boxes};
};

TEST_F(VantrelScriptTest, TakesAnswerWaitAndShotAndNamesTheLineOfAnythingElse) {
    std::string error;
    EXPECT_FALSE(script.Load(Write("# the updater's boxes\nanswer ok\nkey F1\n"), error));
    EXPECT_NE(error.find("script.txt:3: Vantrel takes answer, wait and shot, not 'key'"), std::string::npos)
        << error;
    EXPECT_FALSE(script.Load(Write("wait soon\n"), error));
    EXPECT_NE(error.find("script.txt:1: wait needs milliseconds"), std::string::npos) << error;
    EXPECT_FALSE(script.Load((root.Path() / "missing.txt").string(), error));
    EXPECT_NE(error.find("missing.txt"), std::string::npos) << error;

    // The check's box over the banner, answered after the shot.
    const std::string shot = (root.Path() / "my shots" / "box.png").string();
    std::filesystem::create_directories(root.Path() / "my shots");
    ASSERT_TRUE(script.Load(Write("wait 200\nshot \"" + shot + "\"\nanswer ok\n"), error)) << error;
    script.Start();
    QTimer::singleShot(0, &dialog, [this] { dialog.OnInitDialog(); });
    dialog.show();
    QTimer::singleShot(1000, &dialog, [this] { dialog.done(0); });
    EXPECT_EQ(dialog.exec(), 0) << "answered, the box lets the banner stay";
    const QImage image(QString::fromStdString(shot));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(320, 240));
    ASSERT_EQ(boxes->Shown().size(), 1u);
    EXPECT_EQ(boxes->Shown()[0].text, updater::kNoUsbDisk);
}

TEST_F(VantrelScriptTest, ABoxNoAnswerCoversEndsTheRunWith3AfterFiveSeconds) {
    std::string error;
    ASSERT_TRUE(script.Load(Write("wait 10\n"), error)) << error;
    script.Start();
    QTimer::singleShot(0, &dialog, [this] { dialog.OnInitDialog(); });
    QTimer::singleShot(9000, &dialog, [this] { dialog.done(-1); });
    testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(dialog.exec(), VantrelScript::kUnansweredBoxExitCode);
    const auto took = std::chrono::steady_clock::now() - start;
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_GE(took, std::chrono::milliseconds(VantrelScript::kUnansweredBoxMs));
    EXPECT_LT(took, std::chrono::milliseconds(VantrelScript::kUnansweredBoxMs + 2000));
    EXPECT_NE(
        errors.find("script: line 1: a message box is open that no answer covers: \"U disk not detected!\""),
        std::string::npos)
        << errors;
    EXPECT_FALSE(boxes->BoxOpen());
}

} // namespace
