#include "pc/ReportPrinter.h"

#include "tests/pc/PdfText.h"
#include "tests/support/TempRoot.h"
#include "tests/support/qt/QtTestApp.h"

#include <QImage>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTableWidget>
#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr double kDotsPerPoint = 600.0 / 72.0;
constexpr double kPageWidthPoints = 595.276;
constexpr double kPageHeightPoints = 841.89;

class ReportPrinterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }

    // A job on an A4 PDF at 600 dpi, its first page started, then the body; the file's path.
    QString Print(const std::function<void(ReportPrinter&)>& body) {
        const QString path = QString::fromStdString((root.Path() / "out.pdf").string());
        QPdfWriter pdf(path);
        pdf.setResolution(600);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        ReportPrinter printer;
        EXPECT_TRUE(printer.StartJob(pdf));
        printer.StartPage();
        body(printer);
        printer.EndJob();
        pages = printer.Pages();
        error = printer.Error();
        return path;
    }

    TempRoot root;
    int pages = 0;
    int error = 0;
};

TEST_F(ReportPrinterTest, LongTextsWrapAtABlankWithinTheLastTwentyCharactersElseAtTheWidth) {
    // A line's length in characters first, from a text without blanks (the face has a fixed pitch).
    const QStringList plain = TextLines(PdfText(
        Print([](ReportPrinter& p) { p.PrintText(QString(400, QLatin1Char('x')), ReportPrinter::kSmall); })));
    ASSERT_GE(plain.size(), 3);
    const qsizetype width = plain[0].size();
    EXPECT_GT(width, 40);
    for (qsizetype i = 0; i + 1 < plain.size(); ++i)
        EXPECT_EQ(plain[i], QString(width, QLatin1Char('x')));
    EXPECT_EQ(plain.join(QString()).size(), 400);

    const auto text = [&](char first, qsizetype length, char second) {
        return QString(length, QLatin1Char(first)) + QLatin1Char(' ') + QString(50, QLatin1Char(second));
    };
    const QStringList lines = TextLines(PdfText(Print([&](ReportPrinter& p) {
        p.PrintText(text('a', width - 10, 'b'), ReportPrinter::kSmall);
        p.PrintText(text('c', width - 20, 'd'), ReportPrinter::kSmall);
        p.PrintText(text('e', width - 21, 'f'), ReportPrinter::kSmall);
        p.PrintText(text('g', width - 30, 'h'), ReportPrinter::kSmall);
    })));
    const QStringList expected = {
        // Blanks 10 and 20 characters from the end: the line ends there, the next starts after it.
        QString(width - 10, 'a'), QString(50, 'b'), QString(width - 20, 'c'), QString(50, 'd'),
        // 21 and 30 from the end: cut at the width.
        QString(width - 21, 'e') + ' ' + QString(20, 'f'), QString(30, 'f'),
        QString(width - 30, 'g') + ' ' + QString(29, 'h'), QString(21, 'h')};
    EXPECT_EQ(lines, expected);
}

TEST_F(ReportPrinterTest, ALineThatWouldPassTheBottomMarginStartsANewPageAtTheTopMargin) {
    const QString pdf = Print([](ReportPrinter& p) {
        for (int i = 0; i < 150; ++i)
            p.PrintText(QString::asprintf("line%03d", i), ReportPrinter::kSmall);
    });
    ASSERT_GE(pages, 2);
    EXPECT_EQ(error, 0);
    const std::vector<Word> words = Words(pdf);
    ASSERT_EQ(words.size(), 150u);
    int page = 1;
    for (size_t i = 0; i < words.size(); ++i) {
        EXPECT_EQ(words[i].text, QString::asprintf("line%03d", static_cast<int>(i)));
        // Bottom margin 160 dots.
        EXPECT_LE(words[i].yMax, kPageHeightPoints - 160 / kDotsPerPoint);
        if (words[i].page != page) {
            EXPECT_EQ(words[i].page, page + 1);
            page = words[i].page;
            // Top margin 40 points; the glyphs start a little below the line's top.
            EXPECT_GE(words[i].yMin, 39.5);
            EXPECT_LT(words[i].yMin, 40.0 + 9.0);
            // The last line of the page before left no room for this one.
            const Word& last = words[i - 1];
            EXPECT_GT(last.yMax + (last.yMax - last.yMin) + 5.0,
                      kPageHeightPoints - 160 / kDotsPerPoint - 5.0);
        }
    }
    EXPECT_EQ(page, pages);
    EXPECT_EQ(PdfText(pdf).count(QLatin1Char('\f')), pages);

    // A device without pages cannot start one: the job says so and goes on.
    QImage image(800, 600, QImage::Format_RGB32);
    ReportPrinter printer;
    ASSERT_TRUE(printer.StartJob(image));
    printer.StartPage();
    for (int i = 0; i < 20; ++i)
        printer.PrintText(QStringLiteral("line"), ReportPrinter::kLarge);
    EXPECT_EQ(printer.Error(), ReportPrinter::kPageError);
    EXPECT_GT(printer.Pages(), 1);
    printer.EndJob();
}

TEST_F(ReportPrinterTest, FlagsCentreOrRightAlignOrKeepTheLineAndAnEmptyTextTakesALine) {
    const std::vector<Word> words = Words(Print([](ReportPrinter& p) {
        p.PrintText(QStringLiteral("LEFT"), ReportPrinter::kSmall);
        p.PrintText(QStringLiteral("MIDDLE"), ReportPrinter::kSmall, ReportPrinter::kCentre);
        p.PrintText(QStringLiteral("RIGHT"), ReportPrinter::kSmall, ReportPrinter::kRight);
        p.PrintText(QStringLiteral("SAME"), ReportPrinter::kSmall, ReportPrinter::kNoAdvance);
        p.PrintText(QStringLiteral("NEXT"), ReportPrinter::kSmall, ReportPrinter::kRight);
        p.PrintText(QStringLiteral("ONE"), ReportPrinter::kSmall);
        p.PrintText(QString(), ReportPrinter::kSmall);
        p.PrintText(QStringLiteral("TWO"), ReportPrinter::kSmall);
    }));
    const double margin = 200 / kDotsPerPoint;
    const double tolerance = 1.5;
    EXPECT_NEAR(Find(words, "LEFT").xMin, margin, tolerance);
    const Word middle = Find(words, "MIDDLE");
    EXPECT_NEAR((middle.xMin + middle.xMax) / 2, kPageWidthPoints / 2, tolerance);
    EXPECT_NEAR(Find(words, "RIGHT").xMax, kPageWidthPoints - margin, tolerance);
    EXPECT_NEAR(Find(words, "SAME").yMin, Find(words, "NEXT").yMin, 0.01);
    EXPECT_NEAR(Find(words, "NEXT").xMax, kPageWidthPoints - margin, tolerance);
    const double line = Find(words, "ONE").yMin - Find(words, "NEXT").yMin;
    EXPECT_GT(line, 9.0);
    EXPECT_NEAR(Find(words, "LEFT").yMin + line, Find(words, "MIDDLE").yMin, 0.01);
    EXPECT_NEAR(Find(words, "TWO").yMin - Find(words, "ONE").yMin, 2 * line, 0.01);
}

TEST_F(ReportPrinterTest, TableRowsPutCellsInTheirColumnsEachClippedToItsCell) {
    const QString wide(60, QLatin1Char('M'));
    const QString pdf = Print([&](ReportPrinter& p) {
        p.SetColumns({800, 1100}, 100);
        p.TableRow(QStringLiteral("first|second|third"), ReportPrinter::kSmall);
        p.TableRow(wide + QStringLiteral("|cell"), ReportPrinter::kSmall);
        p.TableRow(QStringLiteral("|right"), ReportPrinter::kSmall, ReportPrinter::kRight);
    });
    const std::vector<Word> words = Words(pdf);
    // Columns from the left margin, 800 dots wide, then the 100-dot gap; no third column.
    EXPECT_NEAR(Find(words, "first").xMin, 200 / kDotsPerPoint, 1.5);
    EXPECT_NEAR(Find(words, "second").xMin, 1100 / kDotsPerPoint, 1.5);
    EXPECT_NEAR(Find(words, "cell").xMin, 1100 / kDotsPerPoint, 1.5);
    EXPECT_NEAR(Find(words, "right").xMax, 2200 / kDotsPerPoint, 1.5);
    for (const Word& word : words)
        EXPECT_NE(word.text, "third");

    // The wide cell's ink stops at its column's edge, 1000 dots from the page's left; none in the gap.
    const QString png = QString::fromStdString((root.Path() / "page").string());
    ASSERT_EQ(PopplerOutput(QStringLiteral("pdftoppm"),
                            {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-singlefile"),
                             QStringLiteral("-png"), pdf, png}),
              QString());
    const QImage page(png + QStringLiteral(".png"));
    ASSERT_FALSE(page.isNull());
    const double pixels = 100.0 / 600.0;
    const Word cell = Find(words, "cell");
    const auto dark = [&](int fromDots, int toDots) {
        int count = 0;
        for (int y = static_cast<int>(cell.yMin * 100 / 72); y <= static_cast<int>(cell.yMax * 100 / 72); ++y)
            for (int x = static_cast<int>(fromDots * pixels); x < static_cast<int>(toDots * pixels); ++x)
                count += qGray(page.pixel(x, y)) < 128;
        return count;
    };
    EXPECT_GT(dark(800, 995), 0);
    EXPECT_EQ(dark(1006, 1094), 0);
}

TEST_F(ReportPrinterTest, AListTablePrintsItsTitlesThenEveryRowTrimmedOnOneLine) {
    QTableWidget list(3, 4);
    const char* titles[] = {"No.", "EventType", "Distance", "JoinLoss"};
    for (int column = 0; column < 4; ++column) {
        list.setHorizontalHeaderItem(column, new QTableWidgetItem(QString::fromLatin1(titles[column])));
        for (int row = 0; row < 2; ++row)
            list.setItem(row, column, new QTableWidgetItem(QString::asprintf("r%dc%d", row, column)));
    }
    list.setItem(1, 1, new QTableWidgetItem(QStringLiteral("  two\nlines  ")));
    const auto print = [&](bool header) {
        return TextLines(PdfText(Print([&](ReportPrinter& p) { p.Table(list, header); })));
    };
    const QStringList withHeader = print(true);
    ASSERT_EQ(withHeader.size(), 3) << withHeader.join('\n').toStdString();
    EXPECT_TRUE(withHeader[0].contains(QRegularExpression("^No\\.\\s+EventType\\s+Distance\\s+JoinLoss$")));
    EXPECT_TRUE(withHeader[1].contains(QRegularExpression("^r0c0\\s+r0c1\\s+r0c2\\s+r0c3$")));
    EXPECT_TRUE(withHeader[2].contains(QRegularExpression("^r1c0\\s+two lines\\s+r1c2\\s+r1c3$")));
    const QStringList withoutHeader = print(false);
    ASSERT_EQ(withoutHeader.size(), 2);
    EXPECT_TRUE(withoutHeader[0].startsWith("r0c0"));
}

TEST_F(ReportPrinterTest, AFontSetHoldsBothWeightsAtBothSizesAndTheSetsAreLimited) {
    int set = -1;
    const std::vector<Word> words = Words(Print([&](ReportPrinter& p) {
        set = p.CreateFontSet(9, 18);
        p.PrintText(QStringLiteral("first"), set);
        p.SelectFont(set, true, true);
        p.PrintText(QStringLiteral("second"), set);
        p.SelectFont(set, false);
        p.PrintText(QStringLiteral("again"), set);
        // The report's three sets and this one: six more fit.
        for (int i = 0; i < 6; ++i)
            EXPECT_GE(p.CreateFontSet(10, 10), 0);
        EXPECT_EQ(p.CreateFontSet(10, 10), -1);
    }));
    EXPECT_EQ(set, 3);
    const auto height = [&](const char* text) {
        const Word word = Find(words, text);
        return word.yMax - word.yMin;
    };
    EXPECT_NEAR(height("second"), 2 * height("first"), 0.5);
    EXPECT_NEAR(height("again"), height("first"), 0.01);
    // Twice the size, twice the advance of each character.
    EXPECT_NEAR(Find(words, "second").xMax - Find(words, "second").xMin,
                2 * (Find(words, "again").xMax - Find(words, "again").xMin) * 6 / 5, 2.0);
}

} // namespace
