#include "pc/TestReport.h"
#include "pc/CAdMoiDlg.h"
#include "pc/CDataLine.h"
#include "pc/CMainFrame.h"
#include "pc/COTDRView.h"

#include "tests/pc/PdfText.h"
#include "tests/support/RecordingMessageBox.h"
#include "tests/support/TempRoot.h"
#include "tests/support/qt/DialogHandler.h"
#include "tests/support/qt/QtTestApp.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace {

class TestReportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }

    QString Report(const COTDRView& view) {
        const QString path = QString::fromStdString((root.Path() / "report.pdf").string());
        EXPECT_EQ(WriteReportPdf(view, path), 1);
        return path;
    }
    // The lines between two headings.
    static QStringList Section(const QString& text, const QString& from, const QString& to) {
        const QStringList lines = TextLines(text);
        const qsizetype start = lines.indexOf(from);
        const qsizetype end = lines.indexOf(to);
        if (start < 0 || end < start)
            return {};
        return lines.mid(start + 1, end - start - 1);
    }
    static QString Today() {
        const QDate today = QDate::currentDate();
        return QString::asprintf("%.4d-%.2d-%.2d", today.year(), today.month(), today.day());
    }

    const QString trace = QStringLiteral(SOURCE_DIR "/data/traces/sample_16km.st");
    TempRoot root;
};

TEST_F(TestReportTest, TheReportPrintsEveryHeadingLabelAndValueOfTheFormInOrder) {
    COTDRView view;
    ASSERT_TRUE(view.LoadFromDocument(trace));
    view.EventAnalysis();
    const QTableWidget& list = view.EventList();
    ASSERT_GT(list.rowCount(), 1);
    const QString pdf = Report(view);
    const QString text = PdfText(pdf);
    const auto value = [](const QString& shown) { return QRegularExpression::escape(shown.trimmed()); };
    const auto parameter = [&](const char* label) { return value(view.ParameterText(label)); };
    const auto measure = [&](const char* label) { return value(view.MeasureText(label)); };
    QStringList expected = {
        "KR4700 OTDR Test Report",
        "FileName:sample_16km\\.st {5,}TestTime:" + view.TestDate() + " {5,}PrintTime:" + Today(),
        "Parameters",
        "Range:\\s+" + parameter("Range") + "\\s+WaveLength:\\s+" + parameter("WaveLength"),
        "PulseWidth:\\s+" + parameter("PulseWidth") + "\\s+Attenuation:\\s+" + parameter("Attenuation"),
        "Refractive:\\s+" + parameter("Refractive") + "\\s+OpticalCoeff\\.:\\s+" + parameter("OpticalCoeff."),
        "AverageTimes:\\s+" + parameter("AverageTimes") + "\\s+Threshold:\\s+" + parameter("Threshold"),
        "Wave Form Data",
        "\\(A-B\\)Loss:\\s+" + measure("(A-B)Loss") + "\\s+\\(A-B\\)Distance:\\s+" + measure("(A-B)Distance"),
        "AverageLoss:\\s+" + measure("AverageLoss"),
        "OTDR Test Wave Form",
        "Event List",
        "No\\.\\s+EventType\\s+Distance\\s+JoinLoss",
    };
    for (int row = 0; row + 1 < list.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < 4; ++column)
            cells << value(list.item(row, column)->text());
        expected << cells.join("\\s+");
    }
    ExpectInOrder(text, expected);
    EXPECT_EQ(text.count(QLatin1Char('\f')), 1) << "one page";
    EXPECT_NE(view.TestDate(), "0000-00-00");

    // A4 at 600 dpi, named as the program; the trace view's 630 x 240 image drawn 6 times enlarged.
    const QString info = PopplerOutput("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Title:\\s+OTDR\\n"))) << info.toStdString();
    EXPECT_TRUE(
        info.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)")))
        << info.toStdString();
    const QStringList images = TextLines(PopplerOutput("pdfimages", {"-list", pdf})).mid(2);
    ASSERT_EQ(images.size(), 1);
    const QStringList columns = images[0].split(QRegularExpression("\\s+"));
    ASSERT_GE(columns.size(), 14);
    EXPECT_EQ(columns[3], "630");
    EXPECT_EQ(columns[4], "240");
    // 630 pixels over 3780 dots at 600 dpi: 100 pixels an inch.
    EXPECT_EQ(columns[12], "100");
    EXPECT_EQ(columns[13], "100");
}

TEST_F(TestReportTest, TheEventListIsPrintedOnlyWithMoreThanOneRow) {
    COTDRView view;
    ASSERT_TRUE(view.LoadFromDocument(trace));
    EXPECT_FALSE(PdfText(Report(view)).contains("Event List")) << "before the analysis";
    view.EventAnalysis();
    QTableWidget& list = view.EventList();
    ASSERT_GE(list.rowCount(), 2);
    // An event and the empty row after it.
    list.setRowCount(2);
    const QString two = PdfText(Report(view));
    ExpectInOrder(two, {"OTDR Test Wave Form", "Event List", "JoinLoss", "1\\s+" + list.item(0, 1)->text()});
    // The event's row alone.
    list.setRowCount(1);
    const QString one = PdfText(Report(view));
    EXPECT_TRUE(one.contains("OTDR Test Wave Form"));
    EXPECT_FALSE(one.contains("Event List"));
    EXPECT_FALSE(one.contains("JoinLoss"));
}

TEST_F(TestReportTest, AnEditedEventIsPrintedAsTheListShowsItWithThePanelsOfThatMoment) {
    COTDRView view;
    ASSERT_TRUE(view.LoadFromDocument(trace));
    view.EventAnalysis();
    view.TraceView().SelectEvent(0);
    view.ModifyEvent();
    ASSERT_NE(view.EditDialog(), nullptr);
    view.EditDialog()->SetType(1);
    view.EditDialog()->Button("OK")->click();
    ASSERT_EQ(view.EditDialog(), nullptr);
    const QTableWidget& list = view.EventList();
    ASSERT_EQ(list.item(0, 1)->text(), "FusionEvent");
    view.TraceView().StepCursor(1);
    const QString text = PdfText(Report(view));
    ExpectInOrder(
        text, {"\\(A-B\\)Distance:\\s+" + QRegularExpression::escape(view.MeasureText("(A-B)Distance")),
               "Event List", "1\\s+FusionEvent\\s+" + QRegularExpression::escape(list.item(0, 2)->text())});
}

TEST_F(TestReportTest, WaveFormDataHasTwoRowsWithTwoCursorsAndThreeWithFour) {
    COTDRView view;
    ASSERT_TRUE(view.LoadFromDocument(trace));
    const QStringList two = Section(PdfText(Report(view)), "Wave Form Data", "OTDR Test Wave Form");
    ASSERT_EQ(two.size(), 2) << two.join('\n').toStdString();
    EXPECT_TRUE(two[0].startsWith("(A-B)Loss:"));
    EXPECT_TRUE(two[1].contains(QRegularExpression("^AverageLoss:\\s+\\S+ dB/km\\(A-B\\)$")));

    view.Run(Command::TestJointLoss);
    ASSERT_EQ(view.TraceView().Mode(), 1);
    const QStringList four = Section(PdfText(Report(view)), "Wave Form Data", "OTDR Test Wave Form");
    ASSERT_EQ(four.size(), 3) << four.join('\n').toStdString();
    EXPECT_TRUE(four[0].startsWith("(A-B)Loss:"));
    EXPECT_TRUE(four[1].contains(QRegularExpression(
        "^AverageLoss:\\s+\\S+ dB/km\\(A-B\\)\\s+\\S+ dB/km\\(a-A\\)\\s+\\S+ dB/km\\(B-b\\)$")));
    EXPECT_TRUE(four[2].contains(QRegularExpression(
        "^JointLoss:\\s+" + QRegularExpression::escape(view.MeasureText("JointLoss")) + "$")));
}

TEST_F(TestReportTest, BeforeAnyOpenTheHeadingLineHasNoFileNameAndNoTestDate) {
    COTDRView view;
    const QString pdf = Report(view);
    const QString text = PdfText(pdf);
    const QStringList lines = TextLines(text);
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], "KR4700 OTDR Test Report");
    EXPECT_TRUE(
        lines[1].contains(QRegularExpression("^FileName: +TestTime:0000-00-00 +PrintTime:" + Today() + "$")))
        << lines[1].toStdString();
    // Nine blanks after "FileName:", as wide as it in the fixed pitch; twelve after the ten of the date.
    const std::vector<Word> words = Words(pdf);
    const Word name = Find(words, "FileName:");
    const Word test = Find(words, "TestTime:0000-00-00");
    const Word print = Find(words, "PrintTime:" + Today());
    const double advance = (name.xMax - name.xMin) / 9;
    EXPECT_NEAR(test.xMin - name.xMax, 9 * advance, advance / 2);
    EXPECT_NEAR(print.xMin - test.xMax, 12 * advance, advance / 2);
    EXPECT_NEAR(test.yMin, name.yMin, 0.01);
    ExpectInOrder(text, {"Parameters", "Range:\\s+WaveLength:", "Wave Form Data", "OTDR Test Wave Form"});
    EXPECT_FALSE(text.contains("Event List"));
}

TEST_F(TestReportTest, PrintAndTheExportFollowOpenInTheFileMenuAndNeedNoTrace) {
    CMainFrame frame;
    QStringList file;
    for (QAction* action : frame.menuBar()->actions().front()->menu()->actions())
        if (!action->isSeparator() && action->isVisible())
            file << action->text();
    ASSERT_GE(file.size(), 4);
    EXPECT_EQ(file.mid(0, 3), (QStringList{"&Open File ", "&Print", "Export Report as PDF..."}));
    EXPECT_TRUE(frame.Action(Command::Print)->isEnabled());
    EXPECT_TRUE(frame.Action(Command::ExportPdf)->isEnabled());
    EXPECT_FALSE(frame.Action(Command::RestoreCurve)->isEnabled());
}

TEST_F(TestReportTest, PrintAsksThePrintDialogWhichCannotPrintToAFile) {
    CMainFrame frame;
    int dialogs = 0;
    bool toFile = true;
    const DialogHandler cancel([&](QDialog& dialog) {
        ++dialogs;
        if (auto* print = dynamic_cast<QPrintDialog*>(&dialog))
            toFile = print->testOption(QAbstractPrintDialog::PrintToFile);
        dialog.reject();
    });
    frame.Run(Command::Print);
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(toFile);
}

TEST_F(TestReportTest, TheExportWritesTheReportToTheFileItsDialogNamesOrSaysItCannot) {
    auto boxes = std::make_shared<RecordingMessageBox>();
    platform::SetMessageBoxService(boxes);
    CMainFrame frame;
    ASSERT_TRUE(frame.View().LoadFromDocument(trace));
    frame.View().EventAnalysis();
    QString target = QString::fromStdString((root.Path() / "export.pdf").string());
    const DialogHandler save([&](QDialog& dialog) {
        if (auto* files = dynamic_cast<QFileDialog*>(&dialog)) {
            files->selectFile(target);
            dialog.accept();
        } else {
            dialog.reject();
        }
    });
    frame.Run(Command::ExportPdf);
    const QString exported = PdfText(target);
    ASSERT_TRUE(exported.contains("Event List")) << exported.toStdString();
    EXPECT_EQ(exported, PdfText(Report(frame.View())));
    EXPECT_EQ(boxes->Count(), 0u);

    target = QString::fromStdString((root.Path() / "export.pdf" / "x.pdf").string());
    frame.Run(Command::ExportPdf);
    ASSERT_EQ(boxes->Count(), 1u);
    EXPECT_EQ(boxes->shown[0].text, u"Cannot write " + target.toStdU16String());
    EXPECT_EQ(boxes->shown[0].title, u"OTDR Prompt Message");
    platform::SetMessageBoxService(nullptr);
}

} // namespace
