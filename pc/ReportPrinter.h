#pragma once
#include <QFont>
#include <QPainter>
#include <QString>
#include <vector>

class QPaintDevice;
class QTableWidget;

// Prints a document line by line on a page device in its own dots: wrapped and aligned text, table rows
// from "|"-separated cells, rules and page breaks. One per print job.
class ReportPrinter {
public:
    // Text flags.
    static constexpr int kCentre = 1;
    static constexpr int kRight = 4;
    static constexpr int kNoAdvance = 8;
    // The job's error state after a page could not be started.
    static constexpr int kPageError = 7;
    static constexpr int kMaxFontSets = 10;
    static constexpr int kWrapWindow = 20;

    // The three sets of the report: 9, 12 and 16 points.
    enum FontSet { kSmall = 0, kMedium = 1, kLarge = 2 };

    // Starts a document on the device (portrait when it has pages) with the report's font sets and
    // margins; false when no painter can be opened on it.
    bool StartJob(QPaintDevice& device);
    // Starts a page after the first: the device moves to a new sheet, y to the top margin.
    void StartPage();
    void EndJob();

    // A set of four fonts (normal and bold at each size); its index, or -1 when all sets are taken.
    int CreateFontSet(int pointSize, int secondPointSize);
    // Which of a set's four fonts its next text uses.
    void SelectFont(int set, bool bold, bool secondSize = false);

    void PrintText(const QString& text, int set, int flags = 0);
    // An empty line, then the text in the 9-point set.
    void Heading(const QString& text, bool bold, int flags = 0);
    void Rule(Qt::PenStyle style);
    // Cells in the column widths from the left margin, each clipped to its cell.
    void TableRow(const QString& cells, int set, int flags = 0);
    void SetColumns(std::vector<int> widths, int cellGap);
    // The list's rows (and its column titles in bold first, with a header) in the 9-point set.
    void Table(const QTableWidget& list, bool header);

    QPainter& Painter() { return painter_; }
    int Y() const { return y_; }
    void Advance(int dots) { y_ += dots; }
    int LeftMargin() const { return kLeftMargin; }
    int PrintableWidth() const { return pageWidth_ - kLeftMargin - kRightMargin; }
    int Pages() const { return pages_; }
    int Error() const { return error_; }

private:
    static constexpr int kLeftMargin = 200;
    static constexpr int kRightMargin = 200;
    static constexpr int kBottomMargin = 160;
    static constexpr int kTopMarginPoints = 40;
    static constexpr int kLineGapPoints = 5;

    struct Fonts {
        QFont fonts[4]; // normal, bold, second size normal, second size bold
        int current = 0;
    };

    int Points(int points) const;
    const QFont& Current(int set) const;
    // A new page first when a line of this height does not fit below y.
    void BreakIfFull(int height);
    void PrintLine(const QString& line, int flags, int height);
    // The longest prefix that fits the printable width, moved back to a blank near its end.
    qsizetype LineLength(const QString& text) const;

    QPaintDevice* device_ = nullptr;
    QPainter painter_;
    int pageWidth_ = 0;
    int pageHeight_ = 0;
    int topMargin_ = 0;
    int lineGap_ = 0;
    int y_ = 0;
    int pages_ = 0;
    int error_ = 0;
    std::vector<Fonts> sets_;
    std::vector<int> columns_;
    int cellGap_ = 0;
};
