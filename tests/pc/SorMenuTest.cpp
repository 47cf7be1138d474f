#include "pc/CDataLine.h"
#include "pc/CMainFrame.h"
#include "pc/COTDRView.h"

#include "shared/sor/SorFile.h"
#include "shared/sor/TraceConversion.h"
#include "shared/tracefile/TraceFile.h"

#include "tests/support/SyntheticTrace.h"
#include "tests/support/qt/DesktopTest.h"
#include "tests/support/qt/DialogHandler.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QTableWidget>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

class SorMenuTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        // A link with events of both kinds and an end.
        const FibreLink link{.lengthKm = 10.0,
                             .attenuationDbPerKm = 0.34,
                             .events = {{.kind = LinkEventKind::Connector, .km = 2.0, .lossDb = 0.4},
                                        {.kind = LinkEventKind::Splice, .km = 4.5, .lossDb = 0.3},
                                        {.kind = LinkEventKind::Connector, .km = 7.0, .lossDb = 0.5}}};
        trace.samples = GenerateTrace(TraceSetup{}, link).samples;
        trace.block = tracefile::ParameterBlock::FromParameters({16, 1310, 160, 5, 0, 1.468f, 1, 0.1f}, 7, 0);
        ASSERT_EQ(tracefile::WriteTraceFile(root.Path() / "a.st", trace.samples, trace.block), 1);
    }
    QString PathOf(const char* name) const { return QString::fromStdString((root.Path() / name).string()); }
    sor::SorFile Read(const char* name) const {
        sor::SorFile file;
        EXPECT_EQ(sor::ReadFile(root.Path() / name, file), 0);
        return file;
    }

    tracefile::TraceFileContents trace;
};

TEST_F(SorMenuTest, ImportAsksForTheSorFileAndTheTraceToWriteThenOpensIt) {
    sor::SorFile file;
    ASSERT_EQ(sor::ExportTrace(trace.samples, trace.block, {}, {}, file), 0);
    ASSERT_EQ(sor::WriteFile(root.Path() / "link.sor", file), 0);

    CMainFrame frame;
    EXPECT_TRUE(frame.MenuItem("File/Import SOR...")->isEnabled());
    EXPECT_FALSE(frame.MenuItem("File/Export SOR...")->isEnabled());
    QStringList offered;
    const DialogHandler choose([&](QDialog& dialog) {
        auto* files = dynamic_cast<QFileDialog*>(&dialog);
        ASSERT_NE(files, nullptr);
        offered << files->selectedFiles().value(0);
        if (files->acceptMode() == QFileDialog::AcceptOpen)
            files->selectFile(PathOf("link.sor"));
        dialog.accept();
    });
    frame.Run(Command::ImportSor);
    ASSERT_EQ(offered.size(), 2);
    EXPECT_EQ(offered[1], PathOf("link.st")); // beside the SOR file, under its name
    EXPECT_TRUE(Boxes().empty());
    const pc::TraceModel* model = frame.View().TraceView().Model();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(std::vector<uint32_t>(model->Samples().begin(), model->Samples().end()), trace.samples);
    EXPECT_EQ(model->Parameters(), trace.block);
    EXPECT_EQ(frame.RecentFiles().value(0), PathOf("link.st"));
    EXPECT_TRUE(frame.windowTitle().startsWith("link.st"));
    EXPECT_TRUE(frame.MenuItem("File/Export SOR...")->isEnabled());
}

TEST_F(SorMenuTest, AFileThatCannotBeImportedIsSaidAndNothingIsWritten) {
    CMainFrame frame;
    ASSERT_TRUE(frame.OpenChosenFile(PathOf("a.st")));
    root.Write("text.sor", "not a trace");
    EXPECT_FALSE(frame.ImportSorFile(PathOf("text.sor"), PathOf("text.st")));
    EXPECT_EQ(Boxes(), std::vector<std::u16string>{u"Cannot import " + PathOf("text.sor").toStdU16String() +
                                                   u": not a SOR file of issue 1 or 2"});
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "text.st"));
    EXPECT_EQ(frame.View().FileName(), "a.st");

    // A trace longer than the longest range is cut, and the user told so.
    sor::SorFile longFile;
    longFile.fxd.pulses = {{.width = 10240, .dataSpacing = 100000000, .points = 1000}};
    longFile.fxd.groupIndex = 146800;
    longFile.data.numberOfPoints = 1000;
    longFile.data.traces = {{.scaleFactor = 1000, .points = std::vector<uint16_t>(1000, 9000)}};
    ASSERT_EQ(sor::WriteFile(root.Path() / "long.sor", longFile), 0);
    EXPECT_TRUE(frame.ImportSorFile(PathOf("long.sor"), PathOf("long.st")));
    EXPECT_EQ(Boxes(),
              std::vector<std::u16string>{u"The trace (204.014 km) runs past 128 km and is cut there."});
    EXPECT_TRUE(std::filesystem::exists(root.Path() / "long.st"));
}

TEST_F(SorMenuTest, ExportWritesTheTraceWithTheEventsTheListShows) {
    CMainFrame frame;
    ASSERT_TRUE(frame.OpenChosenFile(PathOf("a.st")));
    // Before any analysis the file gets what Event Analysis would list.
    ASSERT_TRUE(frame.ExportSorFile(PathOf("fresh.sor")));
    frame.View().EventAnalysis();
    QTableWidget& list = frame.View().EventList();
    const int listed = list.rowCount() - 1;
    ASSERT_GE(listed, 3);
    EXPECT_EQ(Read("fresh.sor").keyEvents.events.size(), static_cast<size_t>(listed));

    // An edit is what the user sees, so it is what goes out.
    list.selectRow(0);
    frame.View().DeleteEvent();
    ASSERT_EQ(list.rowCount() - 1, listed - 1);
    const DialogHandler save([&](QDialog& dialog) {
        auto* files = dynamic_cast<QFileDialog*>(&dialog);
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->selectedFiles().value(0), PathOf("a.sor"));
        // The dialog leaves a name being typed alone: the typing is what selects.
        if (QWidget* typing = QApplication::focusWidget())
            typing->clearFocus();
        files->selectFile(PathOf("edited.sor"));
        dialog.accept();
    });
    frame.Run(Command::ExportSor);
    EXPECT_TRUE(Boxes().empty());
    const sor::SorFile edited = Read("edited.sor");
    ASSERT_EQ(edited.keyEvents.events.size(), static_cast<size_t>(listed - 1));
    for (int row = 0; row < listed - 1; ++row) {
        const sor::KeyEvent& event = edited.keyEvents.events[static_cast<size_t>(row)];
        // The file keeps times to 100 ps and the index to five decimals: within a metre of the list.
        EXPECT_NEAR(sor::EventDistanceKm(edited.fxd, event), list.item(row, 2)->text().toDouble(), 0.001);
        EXPECT_EQ(event.code[0], list.item(row, 1)->text() == "JointEvent" ? '1' : '0');
    }
    EXPECT_EQ(edited.sup.other, "Exported by OTDR " LUMETRA_VERSION);

    const QString blocked = PathOf("a.st") + "/x.sor";
    EXPECT_FALSE(frame.ExportSorFile(blocked));
    EXPECT_EQ(Boxes(), std::vector<std::u16string>{u"Cannot write " + blocked.toStdU16String()});
}

} // namespace
