#include "instrument/acquisition/TestParameters.h"
#include "instrument/acquisition/TraceData.h"
#include "instrument/app/AppEventFilter.h"
#include "instrument/app/CLumetraApp.h"
#include "instrument/app/CLumetraDlg.h"
#include "instrument/app/CNav1Dlg.h"
#include "instrument/app/CTimeAndPower.h"
#include "instrument/app/QtFrontend.h"
#include "instrument/display/ui/CDataLine.h"
#include "instrument/files/ui/CFileCopyBody.h"
#include "instrument/files/ui/CFileReadBody.h"
#include "instrument/files/ui/CFileSaveBody.h"
#include "instrument/files/ui/FileListControl.h"
#include "instrument/screens/CNavPanel.h"
#include "instrument/screens/FocusMarker.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"

#include "platform/Clock.h"
#include "platform/DebugOut.h"
#include "platform/TextCodec.h"

#include "shared/tracefile/TraceFile.h"

#include "tests/files/TraceFiles.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/RecordingMessageBox.h"
#include "tests/support/TempRoot.h"
#include "tests/support/qt/KeypadPress.h"
#include "tests/support/qt/QtTestApp.h"
#include "tests/support/screens/DeliveredTexts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using Screen = ScreenSwitch::Screen;

// 14:30:05 on 2 March 2025, whenever the test runs.
class FixedClock : public platform::ClockBackend {
public:
    platform::LocalTime Get() override { return {2025, 3, 0, 2, 14, 30, 5, 0}; }
    bool Set(const platform::LocalTime&) override { return false; }
};

class FileScreensTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    void SetUp() override {
        TestRunning = 0;
        TraceLoaded = 0;
        CopySelectAll = 0;
        qApp->installEventFilter(&filter);
        UseDeliveredTexts(root, 0);
        MessageTitle = u"Prompt";
        UDiskRoot = "\\Hard Disk";
        saved = TestParam;
        savedWay = TestWay;
        UseParameters16km();
        platform::SetMessageBoxService(boxes);
        platform::SetClockBackend(std::make_shared<FixedClock>());
        platform::SetDebugSink([this](std::string_view line) { debug.emplace_back(line); });
    }
    void TearDown() override {
        platform::SetDebugSink({});
        platform::SetClockBackend(nullptr);
        platform::SetMessageBoxService(nullptr);
        TestParam = saved;
        TestWay = savedWay;
        CurrentTrace().Replace({});
        LanguageId = 0;
    }

    void Run(const std::function<void(CLumetraDlg&)>& body) {
        frontend.OnDialogCreated([&](CLumetraDlg& dialog) {
            QTimer::singleShot(0, &dialog, [&] {
                // Focus moves, and is framed, in the active window, as the instrument's one window is.
                dialog.activateWindow();
                QCoreApplication::processEvents();
                ASSERT_EQ(QApplication::activeWindow(), &dialog);
                body(dialog);
                dialog.PostQuit(18);
            });
        });
        frontend.RunMainDialog();
    }
    // A key of the keypad pressed and released; `text` is what a character key types.
    static void Press(CLumetraDlg& dialog, int key, const QString& text = {}) {
        PressKeypad(dialog, key, text);
    }
    static void Keys(CLumetraDlg& dialog, std::initializer_list<int> keys) {
        for (const int key : keys)
            Press(dialog, key);
    }
    // Typed key by key into the focused control, as the keypad and the keyboard give characters.
    static void Type(CLumetraDlg& dialog, const QString& text) {
        for (const QChar c : text)
            Press(dialog, c.unicode() < 0x80 ? int{c.toUpper().unicode()} : int{Qt::Key_unknown}, QString(c));
    }
    // Lets the save screen's busy time pass.
    static void Pause(int ms = 30) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    // The trace of a test just ended, as the test start and thread leave it.
    static void Measure(CLumetraDlg& dialog) {
        CurrentTrace().Replace(TraceSamples(7));
        TraceLoaded = 1;
        dialog.TraceView().SetParametersChanged(true);
        dialog.TraceView().BuildFromLive();
    }
    static CNavPanel& Panel(CLumetraDlg& dialog) { return *static_cast<CNavPanel*>(dialog.CurrentPanel); }
    static bool On(CLumetraDlg& dialog, int panel, QWidget* pane) {
        return dialog.CurrentPanel == dialog.Window(panel) && dialog.CurrentBody == pane && pane->isVisible();
    }
    static bool OnMain(CLumetraDlg& dialog) {
        return dialog.CurrentPanel == &dialog.MainPanel() && dialog.CurrentBodyIsTraceView();
    }
    static QStringList Rows(const FileListControl& list, int column = 0) {
        QStringList rows;
        for (int row = 0; row < list.RowCount(); ++row)
            rows << list.Text(row, column);
        return rows;
    }
    void PlugUsbDisk() const { std::filesystem::create_directories(root.Path() / "Hard Disk/OTDRDATA"); }
    void PullUsbDisk() const { std::filesystem::remove_all(root.Path() / "Hard Disk"); }
    std::vector<std::u16string> Shown() { return boxes->TakeTexts(); }
    // Every file under the root but the language files.
    std::vector<std::string> Tree() const {
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root.Path()))
            if (!entry.path().filename().string().starts_with("language"))
                files.push_back(std::filesystem::relative(entry.path(), root.Path()).string());
        std::sort(files.begin(), files.end());
        return files;
    }

    TempRoot root;
    TestParameterTable saved;
    TestWayPair savedWay;
    std::shared_ptr<RecordingMessageBox> boxes = std::make_shared<RecordingMessageBox>();
    std::vector<std::string> debug;
    QtFrontend frontend;
    CLumetraApp app{frontend};
    AppEventFilter filter{app, frontend};
};

TEST_F(FileScreensTest, TheMenuOffersSavingOnlyForAMeasuredTraceAndEscapeGoesBack) {
    WriteTraceFiles(root, "NandFlash", {"a.st"});
    Run([&](CLumetraDlg& dialog) {
        Press(dialog, Qt::Key_F2);
        ASSERT_EQ(Panel(dialog).Resource(), dlg::kFileOprNav);
        EXPECT_FALSE(Panel(dialog).Button(0)->isEnabled());
        Press(dialog, Qt::Key_F1);
        EXPECT_EQ(Panel(dialog).Resource(), dlg::kFileOprNav);
        Press(dialog, Qt::Key_Escape);
        EXPECT_TRUE(OnMain(dialog));
        Measure(dialog);
        Press(dialog, Qt::Key_F2);
        EXPECT_TRUE(Panel(dialog).Button(0)->isEnabled());
        Press(dialog, Qt::Key_Escape);
        // A trace opened from a file is kept already.
        Keys(dialog, {Qt::Key_F2, Qt::Key_F2, Qt::Key_F2, Qt::Key_F1});
        ASSERT_TRUE(OnMain(dialog));
        Press(dialog, Qt::Key_F2);
        EXPECT_FALSE(Panel(dialog).Button(0)->isEnabled());
        EXPECT_NE(std::find(debug.begin(), debug.end(), "CFileOprNav\r\n"), debug.end());
    });
}

TEST_F(FileScreensTest, SavingUnderTheProposedNameWritesTheTraceIntoTheFlash) {
    Run([&](CLumetraDlg& dialog) {
        Measure(dialog);
        Keys(dialog, {Qt::Key_F2, Qt::Key_F1});
        CFileSaveBody& body = dialog.FileSave();
        ASSERT_TRUE(On(dialog, dlg::kFileSaveNav, &body));
        EXPECT_EQ(body.Title(), "Save File");
        QLineEdit& edit = body.NameEdit();
        EXPECT_EQ(edit.text(), "250302143005");
        EXPECT_TRUE(edit.hasFocus());
        EXPECT_EQ(body.Focus().Target(), &edit);
        EXPECT_EQ(edit.selectedText(), edit.text());
        EXPECT_TRUE(body.Storage().Memory().isChecked());
        EXPECT_FALSE(body.Storage().Usb().isChecked());
        Press(dialog, Qt::Key_F1);
        EXPECT_TRUE(OnMain(dialog));
    });
    EXPECT_TRUE(Shown().empty());
    const std::vector<uint8_t> expected =
        tracefile::EncodeTraceFile(TraceSamples(7), ToParameterBlock(TestParam, TestWay));
    EXPECT_EQ(root.Read("NandFlash/250302143005.st"), std::string(expected.begin(), expected.end()));
    EXPECT_NE(std::find_if(debug.begin(), debug.end(),
                           [](const std::string& line) { return line.starts_with("time = "); }),
              debug.end());
}

TEST_F(FileScreensTest, ATypedNameIsSavedAndNameEditingSelectsTheWholeName) {
    Run([&](CLumetraDlg& dialog) {
        Measure(dialog);
        Keys(dialog, {Qt::Key_F2, Qt::Key_F1});
        QLineEdit& edit = dialog.FileSave().NameEdit();
        // The selected proposal gives way to what is typed.
        Type(dialog, "Link 7");
        EXPECT_EQ(edit.text(), "Link 7");
        Press(dialog, Qt::Key_F3);
        EXPECT_TRUE(dialog.FileSave().NameEditing());
        EXPECT_EQ(edit.selectedText(), "Link 7");
        Press(dialog, Qt::Key_F3);
        EXPECT_FALSE(dialog.FileSave().NameEditing());
        EXPECT_TRUE(edit.hasFocus());
        Type(dialog, "光缆-3");
        EXPECT_EQ(edit.text(), "光缆-3");
        Press(dialog, Qt::Key_F1);
        EXPECT_TRUE(OnMain(dialog));
    });
    tracefile::TraceFileContents contents;
    ASSERT_EQ(tracefile::ReadTraceFile(root.Path() / "NandFlash/光缆-3.st",
                                       tracefile::ReaderVariant::Instrument, contents),
              0);
    EXPECT_EQ(contents.samples, TraceSamples(7));
    EXPECT_TRUE(Shown().empty());
}

TEST_F(FileScreensTest, ANameTakenInAnyLetterCaseIsRefusedAndNothingIsOverwritten) {
    const std::string older = TraceFileBytes(3);
    root.Write("NandFlash/ABC.st", older);
    Run([&](CLumetraDlg& dialog) {
        Measure(dialog);
        Keys(dialog, {Qt::Key_F2, Qt::Key_F1});
        Type(dialog, "abc");
        Press(dialog, Qt::Key_F1);
        EXPECT_TRUE(On(dialog, dlg::kFileSaveNav, &dialog.FileSave()));
        // A second save waits for the first to be done.
        Press(dialog, Qt::Key_F1);
        EXPECT_EQ(boxes->Count(), 1u);
        Pause();
        Press(dialog, Qt::Key_F1);
        EXPECT_EQ(boxes->Count(), 2u);
    });
    const std::u16string taken = u"abc.st: a file with this name already exists. Please enter another name.";
    EXPECT_EQ(Shown(), (std::vector<std::u16string>{taken, taken}));
    EXPECT_EQ(root.Read("NandFlash/ABC.st"), older);
    EXPECT_EQ(Names(root, "NandFlash"),
              (std::vector<std::string>{"ABC.st", "languageCH.ini", "languageEN.ini"}));
}

TEST_F(FileScreensTest, NamesThatCannotBeFilesInTheFolderAreRefusedAndNothingIsWritten) {
    PlugUsbDisk();
    const std::vector<std::string> before = Tree();
    Run([&](CLumetraDlg& dialog) {
        Measure(dialog);
        Keys(dialog, {Qt::Key_F2, Qt::Key_F1});
        for (const QString& name :
             {QString("..\\languageEN"), QString("../x"), QString("C:x"), QString("x*"), QString("a|b"),
              QString(" x"), QString("x."), QString(".."), QString("\"x\""), QString(65, 'n')}) {
            dialog.FileSave().NameEdit().selectAll();
            Type(dialog, name);
            ASSERT_EQ(dialog.FileSave().NameEdit().text(), name);
            Press(dialog, Qt::Key_F1);
            Pause();
            EXPECT_TRUE(On(dialog, dlg::kFileSaveNav, &dialog.FileSave())) << name.toStdString();
        }
        dialog.FileSave().NameEdit().clear();
        Press(dialog, Qt::Key_F1);
    });
    const std::vector<std::u16string> shown = Shown();
    ASSERT_EQ(shown.size(), 11u);
    for (size_t i = 0; i < 10; ++i)
        EXPECT_EQ(shown[i],
                  u"This name cannot be used. A file name has at most 64 characters, none of \\ / : * ? "
                  u"\" < > | or control characters and no \"..\", and does not begin or end with a "
                  u"blank or a dot.");
    EXPECT_EQ(shown[10], u"Please enter a file name!");
    EXPECT_EQ(Tree(), before);
}

TEST_F(FileScreensTest, TheRefusalsHaveTheProgramsOwnTextsWhereTheLanguageFileLacksThem) {
    for (const int language : {0, 1}) {
        root.Write(language == 0 ? "NandFlash/languageEN.ini" : "NandFlash/languageCH.ini",
                   Utf16Bytes("[FileSave_nav]\r\nfirstbutton=S\r\n[FileDelete_nav]\r\nfirstbutton=D\r\n"));
        LanguageId = language;
        WriteTraceFiles(root, "NandFlash", {"a.st"});
        Run([&](CLumetraDlg& dialog) {
            Measure(dialog);
            Keys(dialog, {Qt::Key_F2, Qt::Key_F1});
            Type(dialog, "a/b");
            Press(dialog, Qt::Key_F1);
            Pause();
            {
                const FileSizeLimit full(4096);
                dialog.FileSave().NameEdit().setText("c");
                Press(dialog, Qt::Key_F1);
            }
            Keys(dialog, {Qt::Key_F4, Qt::Key_F2, Qt::Key_F3, Qt::Key_F3});
            std::filesystem::remove(root.Path() / "NandFlash/a.st");
            Press(dialog, Qt::Key_F1);
        });
        const std::vector<std::u16string> shown = Shown();
        ASSERT_EQ(shown.size(), 3u);
        EXPECT_EQ(shown[0].starts_with(language == 0 ? u"This name cannot be used." : u"不能使用该文件名。"),
                  true);
        EXPECT_EQ(shown[1], language == 0 ? u"The trace could not be saved. Nothing was written; check the "
                                            u"storage and save again."
                                          : u"曲线未能保存，未写入任何文件。请检查存储器后重新保存。");
        EXPECT_EQ(shown[2], language == 0 ? u"The file could not be deleted." : u"文件未能删除。");
    }
}

TEST_F(FileScreensTest, TheUsbDiskIsChosenOnlyWhenPresentAndGetsItsTraceFolder) {
    Run([&](CLumetraDlg& dialog) {
        Measure(dialog);
        Keys(dialog, {Qt::Key_F2, Qt::Key_F1});
        const StorageChoice& storage = dialog.FileSave().Storage();
        Press(dialog, Qt::Key_F2);
        EXPECT_EQ(Shown(), std::vector<std::u16string>{u"USB disk not detected!"});
        EXPECT_TRUE(storage.Memory().isChecked());
        EXPECT_EQ(storage.Location(), 1);
        std::filesystem::create_directories(root.Path() / "Hard Disk");
        Press(dialog, Qt::Key_F2);
        EXPECT_TRUE(storage.Usb().isChecked());
        EXPECT_FALSE(storage.Memory().isChecked());
        EXPECT_TRUE(std::filesystem::is_directory(root.Path() / "Hard Disk/OTDRDATA"));
        Press(dialog, Qt::Key_F2);
        EXPECT_TRUE(storage.Memory().isChecked());
        Keys(dialog, {Qt::Key_F2, Qt::Key_F1});
        EXPECT_TRUE(OnMain(dialog));
        // The place chosen is kept for the next save.
        Keys(dialog, {Qt::Key_F2, Qt::Key_F1});
        EXPECT_TRUE(storage.Usb().isChecked());
    });
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(root.Read("Hard Disk/OTDRDATA/250302143005.st").size(), 65600u);
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "NandFlash/250302143005.st"));
}

TEST_F(FileScreensTest, AFailedSaveIsSaidLeavesNoFileAndTheTraceCanBeSavedAgain) {
    PlugUsbDisk();
    Run([&](CLumetraDlg& dialog) {
        Measure(dialog);
        Keys(dialog, {Qt::Key_F2, Qt::Key_F1, Qt::Key_F2});
        PullUsbDisk();
        Press(dialog, Qt::Key_F1);
        EXPECT_EQ(Shown(), std::vector<std::u16string>{u"USB disk not detected! The trace was not saved."});
        EXPECT_TRUE(On(dialog, dlg::kFileSaveNav, &dialog.FileSave()));
        Pause();
        Press(dialog, Qt::Key_F2);
        {
            const FileSizeLimit full(4096);
            Press(dialog, Qt::Key_F1);
        }
        EXPECT_EQ(Shown(), std::vector<std::u16string>{u"The trace could not be saved. Nothing was written; "
                                                       u"check the storage and save again."});
        EXPECT_TRUE(On(dialog, dlg::kFileSaveNav, &dialog.FileSave()));
        EXPECT_EQ(Names(root, "NandFlash"), (std::vector<std::string>{"languageCH.ini", "languageEN.ini"}));
        EXPECT_TRUE(dialog.TraceView().HasModel());
        EXPECT_EQ(*CurrentTrace().Snapshot(), TraceSamples(7));
        Pause();
        Press(dialog, Qt::Key_F1);
        EXPECT_TRUE(OnMain(dialog));
    });
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(root.Read("NandFlash/250302143005.st").size(), 65600u);
}

TEST_F(FileScreensTest, TheOpenScreenListsEitherPlaceAndOpensTheChosenFile) {
    WriteTraceFiles(root, "NandFlash", {"a.st", "b.st"}, 2);
    SetDate(root, "NandFlash/a.st", 2025, 3, 2);
    WriteTraceFiles(root, "Hard Disk/OTDRDATA", {"c.st", "Beijing-Tianjin trunk span 17 splice closure 4.st"},
                    3);
    SetDate(root, "Hard Disk/OTDRDATA/c.st", 2024, 11, 30);
    Run([&](CLumetraDlg& dialog) {
        Keys(dialog, {Qt::Key_F2, Qt::Key_F2});
        CFileReadBody& body = dialog.FileList();
        ASSERT_TRUE(On(dialog, dlg::kFileReadNav, &body));
        EXPECT_EQ(body.Heading(), "Open File");
        EXPECT_EQ(body.PathCaption(), "Open from:");
        EXPECT_TRUE(body.Storage().Usb().isChecked());
        FileListControl& list = body.List();
        EXPECT_EQ(Rows(list), (QStringList{"Beijing-Tianjin trunk span 17 splice closure 4.st", "c.st"}));
        // A long name leaves size, type and date in view.
        EXPECT_LE(list.columnViewportPosition(3) + list.columnWidth(3), list.viewport()->width());
        Press(dialog, Qt::Key_Down);
        EXPECT_EQ(list.Text(1, 1), "65 KB");
        EXPECT_EQ(list.Text(1, 2), "ST");
        EXPECT_EQ(list.Text(1, 3), "2024-11-30");
        EXPECT_EQ(list.Text(1, 4), "\\Hard Disk\\OTDRDATA\\c.st");
        EXPECT_TRUE(list.isColumnHidden(4));
        EXPECT_EQ(list.headerItem()->text(1), "Size");
        EXPECT_FALSE(Panel(dialog).Button(2)->isVisible());
        Press(dialog, Qt::Key_F2);
        EXPECT_TRUE(body.Storage().Memory().isChecked());
        EXPECT_EQ(Rows(list), (QStringList{"a.st", "b.st"}));
        EXPECT_EQ(list.Text(0, 3), "2025-3-2");
        EXPECT_EQ(list.SelectedRow(), 0);
        EXPECT_TRUE(list.hasFocus());
        EXPECT_EQ(body.Focus().Target(), &list);
        // Enter and Escape change nothing on the list.
        Press(dialog, Qt::Key_Return);
        EXPECT_TRUE(On(dialog, dlg::kFileReadNav, &body));
        Press(dialog, Qt::Key_Down);
        EXPECT_EQ(list.SelectedRow(), 1);
        Press(dialog, Qt::Key_F1);
        EXPECT_TRUE(OnMain(dialog));
        EXPECT_EQ(dialog.StatusBar()->Message(), "File: b.st");
        EXPECT_EQ(*CurrentTrace().Snapshot(), TraceSamples(2));
        EXPECT_EQ(TraceLoaded, 1);
        EXPECT_FALSE(dialog.TraceView().ParametersChanged());
        Keys(dialog, {Qt::Key_F2, Qt::Key_F2});
        EXPECT_TRUE(body.Storage().Memory().isChecked());
        Keys(dialog, {Qt::Key_F2, Qt::Key_Down, Qt::Key_F1});
        EXPECT_TRUE(OnMain(dialog));
        EXPECT_EQ(dialog.StatusBar()->Message(), "File: c.st");
        EXPECT_EQ(*CurrentTrace().Snapshot(), TraceSamples(3));
    });
    EXPECT_TRUE(Shown().empty());
}

TEST_F(FileScreensTest, AFailedOpenKeepsTheTraceShownAndTheWayOut) {
    const std::vector<uint8_t> wrongCount = tracefile::EncodeTraceFile(
        TraceSamples(4),
        tracefile::ParameterBlock::FromParameters({2, 1310, 320, 5, 0, 1.468f, 1.0f, 0.1f}, 7, 0));
    root.Write("NandFlash/bad.st", std::string(wrongCount.begin(), wrongCount.end()));
    Run([&](CLumetraDlg& dialog) {
        Measure(dialog);
        const TraceModel* model = dialog.TraceView().Model();
        Keys(dialog, {Qt::Key_F2, Qt::Key_F2, Qt::Key_F2});
        ASSERT_EQ(Rows(dialog.FileList().List()), QStringList{"bad.st"});
        Press(dialog, Qt::Key_F1);
        {
            std::lock_guard lock(boxes->mutex);
            ASSERT_EQ(boxes->shown.size(), 1u);
            EXPECT_EQ(boxes->shown[0].text, u"The file could not be opened or is not a valid trace file!");
            EXPECT_EQ(boxes->shown[0].title, u"Prompt");
            EXPECT_EQ(boxes->shown[0].flags, platform::MB_OK);
        }
        EXPECT_TRUE(Panel(dialog).Button(3)->isEnabled());
        EXPECT_EQ(dialog.TraceView().Model(), model);
        EXPECT_EQ(*CurrentTrace().Snapshot(), TraceSamples(7));
        EXPECT_TRUE(dialog.TraceView().ParametersChanged());
        Press(dialog, Qt::Key_Escape);
        EXPECT_TRUE(OnMain(dialog));
        // Still the measured trace: it can be saved.
        Press(dialog, Qt::Key_F2);
        EXPECT_TRUE(Panel(dialog).Button(0)->isEnabled());
        Keys(dialog, {Qt::Key_F2, Qt::Key_F1, Qt::Key_F4});
        EXPECT_TRUE(OnMain(dialog));
    });
}

TEST_F(FileScreensTest, OpeningWithoutAFileOrWithoutTheDiskSaysWhy) {
    PlugUsbDisk();
    WriteTraceFiles(root, "Hard Disk/OTDRDATA", {"c.st"});
    Run([&](CLumetraDlg& dialog) {
        Measure(dialog);
        Keys(dialog, {Qt::Key_F2, Qt::Key_F2});
        ASSERT_EQ(Rows(dialog.FileList().List()), QStringList{"c.st"});
        PullUsbDisk();
        Press(dialog, Qt::Key_F1);
        EXPECT_EQ(Shown(), std::vector<std::u16string>{u"USB disk not detected!"});
        EXPECT_TRUE(Rows(dialog.FileList().List()).isEmpty());
        Keys(dialog, {Qt::Key_F2, Qt::Key_F1});
        EXPECT_EQ(Shown(), std::vector<std::u16string>{u"Please select a file first!"});
        EXPECT_TRUE(dialog.TraceView().ParametersChanged());
        EXPECT_TRUE(On(dialog, dlg::kFileReadNav, &dialog.FileList()));
    });
}

TEST_F(FileScreensTest, DeletingOneFileSelectsTheRowNowInItsPlace) {
    WriteTraceFiles(root, "NandFlash", {"a.st", "b.st", "c.st", "d.st"});
    Run([&](CLumetraDlg& dialog) {
        Keys(dialog, {Qt::Key_F2, Qt::Key_F3});
        CFileReadBody& body = dialog.FileList();
        ASSERT_TRUE(On(dialog, dlg::kFileDeleteNav, &body));
        EXPECT_EQ(body.Heading(), "Delete File");
        EXPECT_EQ(body.PathCaption(), "Delete from:");
        FileListControl& list = body.List();
        EXPECT_TRUE(body.Storage().Usb().isChecked());
        EXPECT_TRUE(Rows(list).isEmpty());
        Press(dialog, Qt::Key_F3);
        EXPECT_TRUE(body.Storage().Memory().isChecked());
        ASSERT_EQ(Rows(list), (QStringList{"a.st", "b.st", "c.st", "d.st"}));
        // Without a disk the list stays on the flash.
        Press(dialog, Qt::Key_F3);
        EXPECT_EQ(Shown(), std::vector<std::u16string>{u"USB disk not detected!"});
        EXPECT_TRUE(body.Storage().Memory().isChecked());
        EXPECT_EQ(Rows(list).size(), 4);
        for (int i = 0; i < 3; ++i)
            Press(dialog, Qt::Key_Down);
        Press(dialog, Qt::Key_F1);
        EXPECT_EQ(Rows(list), (QStringList{"a.st", "b.st", "c.st"}));
        EXPECT_EQ(list.SelectedRow(), 2);
        EXPECT_TRUE(list.hasFocus());
        Keys(dialog, {Qt::Key_Up, Qt::Key_F1});
        EXPECT_EQ(Rows(list), (QStringList{"a.st", "c.st"}));
        EXPECT_EQ(list.SelectedRow(), 1);
        // A file gone behind the list's back is not reported deleted.
        std::filesystem::remove(root.Path() / "NandFlash/c.st");
        Press(dialog, Qt::Key_F1);
        EXPECT_EQ(Rows(list), QStringList{"a.st"});
        Press(dialog, Qt::Key_F4);
        EXPECT_EQ(Panel(dialog).Resource(), dlg::kFileOprNav);
        EXPECT_TRUE(dialog.CurrentBodyIsTraceView());
        EXPECT_FALSE(body.isVisible());
    });
    EXPECT_EQ(Shown(), (std::vector<std::u16string>{u"Deleted successfully.", u"Deleted successfully.",
                                                    u"The file could not be deleted."}));
    EXPECT_EQ(Names(root, "NandFlash"),
              (std::vector<std::string>{"a.st", "languageCH.ini", "languageEN.ini"}));
    EXPECT_NE(std::find(debug.begin(), debug.end(), "CFileCopyNav\r\n"), debug.end());
}

TEST_F(FileScreensTest, DeletingAllAsksFirstAndNoKeepsEveryFile) {
    PlugUsbDisk();
    WriteTraceFiles(root, "Hard Disk/OTDRDATA", {"a.st", "b.st"});
    root.Write("Hard Disk/OTDRDATA/notes.txt", "x");
    Run([&](CLumetraDlg& dialog) {
        Keys(dialog, {Qt::Key_F2, Qt::Key_F3});
        FileListControl& list = dialog.FileList().List();
        ASSERT_EQ(Rows(list), (QStringList{"a.st", "b.st"}));
        Press(dialog, Qt::Key_F2);
        {
            std::lock_guard lock(boxes->mutex);
            ASSERT_EQ(boxes->shown.size(), 1u);
            EXPECT_EQ(boxes->shown[0].text, u"Delete all trace files in this location?");
            EXPECT_EQ(boxes->shown[0].flags, platform::MB_YESNO | platform::MB_ICONQUESTION);
            boxes->shown.clear();
        }
        EXPECT_EQ(Rows(list), (QStringList{"a.st", "b.st"}));
        boxes->answer = platform::IDYES;
        Press(dialog, Qt::Key_F2);
        EXPECT_TRUE(Rows(list).isEmpty());
        EXPECT_EQ(Shown(), (std::vector<std::u16string>{u"Delete all trace files in this location?",
                                                        u"Deleted successfully."}));
        // Nothing left: nothing to report done.
        Press(dialog, Qt::Key_F2);
        EXPECT_EQ(Shown(), std::vector<std::u16string>{u"Delete all trace files in this location?"});
        PullUsbDisk();
        Press(dialog, Qt::Key_F2);
        EXPECT_EQ(Shown(), std::vector<std::u16string>{u"USB disk not detected!"});
    });
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "Hard Disk"));
}

TEST_F(FileScreensTest, TheCopyScreenNeedsTheDiskAndShowsBothPlacesSideBySide) {
    WriteTraceFiles(root, "NandFlash", {"a.st", "b.st"});
    Run([&](CLumetraDlg& dialog) {
        Keys(dialog, {Qt::Key_F2, Qt::Key_F4});
        EXPECT_EQ(Shown(), std::vector<std::u16string>{u"USB disk not detected!"});
        EXPECT_EQ(Panel(dialog).Resource(), dlg::kFileOprNav);
        root.Write("Hard Disk/OTDRDATA", "not a folder");
        Press(dialog, Qt::Key_F4);
        EXPECT_EQ(Shown(),
                  std::vector<std::u16string>{u"The OTDRDATA folder could not be created on the USB disk!"});
        std::filesystem::remove(root.Path() / "Hard Disk/OTDRDATA");
        WriteTraceFiles(root, "Hard Disk/OTDRDATA", {"c.st"});
        Press(dialog, Qt::Key_F4);
        CFileCopyBody& body = dialog.FileCopy();
        ASSERT_TRUE(On(dialog, dlg::kFileCopyNav, &body));
        EXPECT_EQ(body.Title(), "Copy Files");
        FileListControl& memory = body.List(CFileCopyBody::kMemory);
        FileListControl& usb = body.List(CFileCopyBody::kUsb);
        EXPECT_EQ(memory.objectName().toInt(), ctl::kMemoryList);
        EXPECT_EQ(usb.objectName().toInt(), ctl::kUsbList);
        EXPECT_EQ(memory.headerItem()->text(0), "Memory");
        EXPECT_EQ(usb.headerItem()->text(0), "USB disk");
        EXPECT_EQ(memory.columnWidth(0), 125);
        EXPECT_LT(memory.geometry().right(), body.CopyButton(CFileCopyBody::kMemory).geometry().left());
        EXPECT_GT(usb.geometry().left(), body.CopyButton(CFileCopyBody::kUsb).geometry().right());
        EXPECT_EQ(Rows(memory), (QStringList{"a.st", "b.st"}));
        EXPECT_EQ(Rows(usb), QStringList{"c.st"});
        EXPECT_TRUE(memory.hasFocus());
        EXPECT_EQ(memory.SelectedRow(), 0);
        EXPECT_EQ(body.Active(), CFileCopyBody::kMemory);
        EXPECT_TRUE(body.CopyButton(CFileCopyBody::kMemory).isEnabled());
        EXPECT_FALSE(body.CopyButton(CFileCopyBody::kUsb).isEnabled());
        EXPECT_FALSE(body.CopyButton(CFileCopyBody::kMemory).styleSheet().isEmpty());
        EXPECT_TRUE(body.CopyButton(CFileCopyBody::kUsb).styleSheet().isEmpty());
        Press(dialog, Qt::Key_F2);
        EXPECT_EQ(body.Active(), CFileCopyBody::kUsb);
        EXPECT_TRUE(usb.hasFocus());
        EXPECT_EQ(body.Focus().Target(), &usb);
        EXPECT_EQ(usb.SelectedRow(), 0);
        EXPECT_FALSE(body.CopyButton(CFileCopyBody::kMemory).isEnabled());
        EXPECT_TRUE(body.CopyButton(CFileCopyBody::kUsb).isEnabled());
        Press(dialog, Qt::Key_Escape);
        EXPECT_EQ(Panel(dialog).Resource(), dlg::kFileOprNav);
        EXPECT_TRUE(dialog.CurrentBodyIsTraceView());
    });
}

TEST_F(FileScreensTest, CopyingOneFileEachWayReplacesTheOthersFile) {
    WriteTraceFiles(root, "NandFlash", {"a.st", "b.st"}, 1);
    WriteTraceFiles(root, "Hard Disk/OTDRDATA", {"b.st", "c.st"}, 2);
    Run([&](CLumetraDlg& dialog) {
        Keys(dialog, {Qt::Key_F2, Qt::Key_F4});
        CFileCopyBody& body = dialog.FileCopy();
        Keys(dialog, {Qt::Key_Down, Qt::Key_F1});
        EXPECT_EQ(Shown(), std::vector<std::u16string>{u"Copy finished."});
        EXPECT_EQ(root.Read("Hard Disk/OTDRDATA/b.st"), TraceFileBytes(1));
        EXPECT_TRUE(body.List(CFileCopyBody::kMemory).hasFocus());
        EXPECT_EQ(body.List(CFileCopyBody::kMemory).SelectedRow(), 1);
        Keys(dialog, {Qt::Key_F2, Qt::Key_Down, Qt::Key_F1});
        EXPECT_EQ(Shown(), std::vector<std::u16string>{u"Copy finished."});
        EXPECT_EQ(Rows(body.List(CFileCopyBody::kMemory)), (QStringList{"a.st", "b.st", "c.st"}));
        EXPECT_EQ(body.List(CFileCopyBody::kUsb).SelectedRow(), 1);
        // The pane's own button copies the same way.
        std::filesystem::remove(root.Path() / "NandFlash/c.st");
        body.CopyButton(CFileCopyBody::kUsb).click();
        EXPECT_EQ(Shown(), std::vector<std::u16string>{u"Copy finished."});
        EXPECT_EQ(Rows(body.List(CFileCopyBody::kMemory)), (QStringList{"a.st", "b.st", "c.st"}));
    });
    EXPECT_EQ(root.Read("NandFlash/c.st"), TraceFileBytes(2));
    EXPECT_EQ(root.Read("NandFlash/b.st"), TraceFileBytes(1));
}

TEST_F(FileScreensTest, SelectAllCopiesEveryFileOfTheActiveListAndEndsItself) {
    WriteTraceFiles(root, "NandFlash", {"a.st", "b.st", "c.st"}, 1);
    WriteTraceFiles(root, "Hard Disk/OTDRDATA", {"b.st", "x.st"}, 2);
    Run([&](CLumetraDlg& dialog) {
        Keys(dialog, {Qt::Key_F2, Qt::Key_F4});
        CFileCopyBody& body = dialog.FileCopy();
        FileListControl& memory = body.List(CFileCopyBody::kMemory);
        Keys(dialog, {Qt::Key_Down, Qt::Key_F3});
        EXPECT_EQ(CopySelectAll, 1);
        EXPECT_EQ(memory.selectedItems().size(), 3);
        // Choosing a row by hand ends select-all at that row.
        Press(dialog, Qt::Key_Down);
        EXPECT_EQ(CopySelectAll, 0);
        EXPECT_EQ(memory.selectedItems().size(), 1);
        EXPECT_EQ(memory.SelectedRow(), 2);
        Keys(dialog, {Qt::Key_F3, Qt::Key_F3});
        EXPECT_EQ(CopySelectAll, 0);
        EXPECT_EQ(memory.selectedItems().size(), 1);
        EXPECT_EQ(memory.SelectedRow(), 2);
        // Switching the list ends it too.
        Keys(dialog, {Qt::Key_F3, Qt::Key_F2});
        EXPECT_EQ(CopySelectAll, 0);
        EXPECT_EQ(memory.selectedItems().size(), 1);
        Keys(dialog, {Qt::Key_F2, Qt::Key_F3, Qt::Key_F1});
        EXPECT_EQ(Shown(), std::vector<std::u16string>{u"Copy finished."});
        EXPECT_EQ(CopySelectAll, 0);
        EXPECT_EQ(memory.selectedItems().size(), 1);
        EXPECT_EQ(memory.SelectedRow(), 2);
        EXPECT_EQ(Rows(body.List(CFileCopyBody::kUsb)), (QStringList{"a.st", "b.st", "c.st", "x.st"}));
        Keys(dialog, {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4});
        EXPECT_EQ(CopySelectAll, 0);
    });
    for (const char* name : {"a.st", "b.st", "c.st"})
        EXPECT_EQ(root.Read(std::string("Hard Disk/OTDRDATA/") + name), TraceFileBytes(1)) << name;
    EXPECT_EQ(root.Read("Hard Disk/OTDRDATA/x.st"), TraceFileBytes(2));
    EXPECT_EQ(Names(root, "NandFlash").size(), 5u);
}

TEST_F(FileScreensTest, ACopyReportsSuccessOnlyForWhatWasCopied) {
    WriteTraceFiles(root, "NandFlash", {"a.st", "b.st"}, 1);
    PlugUsbDisk();
    Run([&](CLumetraDlg& dialog) {
        Keys(dialog, {Qt::Key_F2, Qt::Key_F4});
        CFileCopyBody& body = dialog.FileCopy();
        // Nothing selected in an empty list: nothing copied, nothing done.
        Press(dialog, Qt::Key_F2);
        ASSERT_TRUE(Rows(body.List(CFileCopyBody::kUsb)).isEmpty());
        Press(dialog, Qt::Key_F1);
        EXPECT_EQ(Shown(), std::vector<std::u16string>{u"Please select a file first!"});
        // A disk that fills up: each file said, the others still tried, the files there as they were.
        WriteTraceFiles(root, "Hard Disk/OTDRDATA", {"a.st"}, 2);
        Keys(dialog, {Qt::Key_F2, Qt::Key_F3});
        {
            const FileSizeLimit full(4096);
            Press(dialog, Qt::Key_F1);
        }
        EXPECT_EQ(Shown(), (std::vector<std::u16string>{u"Copy failed!", u"Copy failed!"}));
        EXPECT_EQ(CopySelectAll, 0);
        EXPECT_EQ(Names(root, "Hard Disk/OTDRDATA"), std::vector<std::string>{"a.st"});
        EXPECT_EQ(root.Read("Hard Disk/OTDRDATA/a.st"), TraceFileBytes(2));
        EXPECT_EQ(Rows(body.List(CFileCopyBody::kUsb)), QStringList{"a.st"});
        // The disk pulled between two steps.
        PullUsbDisk();
        Press(dialog, Qt::Key_F1);
        EXPECT_EQ(Shown(), (std::vector<std::u16string>{u"USB disk not detected!", u"Copy failed!"}));
    });
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "Hard Disk"));
    EXPECT_EQ(root.Read("NandFlash/a.st"), TraceFileBytes(1));
}

} // namespace
