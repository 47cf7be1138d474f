#include "pc/ReportPrinter.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QTableWidget>
#include <cmath>

namespace {

constexpr int kReportSets[][2] = {{9, 9}, {12, 12}, {16, 16}};
constexpr int kListWidths[] = {800, 1100, 1100, 1100};
constexpr int kListCellGap = 100;

QFont SetFont(int pointSize, bool bold) {
    // "宋体" where it exists; elsewhere a fixed-pitch face that also has the Chinese glyphs.
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("WenQuanYi Zen Hei Mono"), QStringLiteral("WenQuanYi Zen Hei")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(pointSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

} // namespace

bool ReportPrinter::StartJob(QPaintDevice& device) {
    if (auto* paged = dynamic_cast<QPagedPaintDevice*>(&device))
        paged->setPageOrientation(QPageLayout::Portrait);
    if (!painter_.begin(&device))
        return false;
    device_ = &device;
    sets_.clear();
    for (const auto& sizes : kReportSets)
        CreateFontSet(sizes[0], sizes[1]);
    pageWidth_ = device.width();
    pageHeight_ = device.height();
    topMargin_ = Points(kTopMarginPoints);
    lineGap_ = Points(kLineGapPoints);
    pages_ = 0;
    error_ = 0;
    y_ = topMargin_;
    return true;
}

void ReportPrinter::StartPage() {
    if (pages_ > 0) {
        auto* paged = dynamic_cast<QPagedPaintDevice*>(device_);
        if (!paged || !paged->newPage())
            error_ = kPageError;
    }
    ++pages_;
    y_ = topMargin_;
}

void ReportPrinter::EndJob() {
    painter_.end();
    device_ = nullptr;
}

int ReportPrinter::Points(int points) const {
    return static_cast<int>(std::lround(points * device_->logicalDpiY() / 72.0));
}

int ReportPrinter::CreateFontSet(int pointSize, int secondPointSize) {
    if (static_cast<int>(sets_.size()) >= kMaxFontSets)
        return -1;
    Fonts set;
    set.fonts[0] = SetFont(pointSize, false);
    set.fonts[1] = SetFont(pointSize, true);
    set.fonts[2] = SetFont(secondPointSize, false);
    set.fonts[3] = SetFont(secondPointSize, true);
    sets_.push_back(set);
    return static_cast<int>(sets_.size()) - 1;
}

void ReportPrinter::SelectFont(int set, bool bold, bool secondSize) {
    if (set >= 0 && set < static_cast<int>(sets_.size()))
        sets_[static_cast<size_t>(set)].current = (secondSize ? 2 : 0) + (bold ? 1 : 0);
}

const QFont& ReportPrinter::Current(int set) const {
    const Fonts& fonts =
        sets_[set >= 0 && set < static_cast<int>(sets_.size()) ? static_cast<size_t>(set) : 0];
    return fonts.fonts[fonts.current];
}

void ReportPrinter::BreakIfFull(int height) {
    if (y_ + lineGap_ + height > pageHeight_ - kBottomMargin)
        StartPage();
}

qsizetype ReportPrinter::LineLength(const QString& text) const {
    const QFontMetrics metrics = painter_.fontMetrics();
    const int width = PrintableWidth();
    if (metrics.horizontalAdvance(text) <= width)
        return text.size();
    // At least one character a line, so a narrow page still ends.
    qsizetype fits = 1;
    qsizetype tooLong = text.size();
    while (tooLong - fits > 1) {
        const qsizetype middle = (fits + tooLong) / 2;
        if (metrics.horizontalAdvance(text.left(middle)) <= width)
            fits = middle;
        else
            tooLong = middle;
    }
    const qsizetype blank = text.lastIndexOf(QLatin1Char(' '), fits - 1);
    return blank > 0 && blank >= fits - kWrapWindow ? blank : fits;
}

void ReportPrinter::PrintLine(const QString& line, int flags, int height) {
    BreakIfFull(height);
    const int width = painter_.fontMetrics().horizontalAdvance(line);
    int x = kLeftMargin;
    if (flags & kCentre)
        x += (PrintableWidth() - width) / 2;
    else if (flags & kRight)
        x += PrintableWidth() - width;
    painter_.drawText(x, y_ + painter_.fontMetrics().ascent(), line);
    if (!(flags & kNoAdvance))
        y_ += height + lineGap_;
}

void ReportPrinter::PrintText(const QString& text, int set, int flags) {
    painter_.setFont(Current(set));
    const int height = painter_.fontMetrics().height();
    if (text.isEmpty()) {
        BreakIfFull(height);
        if (!(flags & kNoAdvance))
            y_ += height + lineGap_;
        return;
    }
    QString rest = text;
    while (!rest.isEmpty()) {
        qsizetype length = LineLength(rest);
        PrintLine(rest.left(length), flags, height);
        // The blank the line was broken at starts no line.
        if (length < rest.size() && rest[length] == QLatin1Char(' '))
            ++length;
        rest = rest.mid(length);
    }
}

void ReportPrinter::Heading(const QString& text, bool bold, int flags) {
    PrintText(QString(), kSmall);
    SelectFont(kSmall, bold);
    PrintText(text, kSmall, flags);
    SelectFont(kSmall, false);
}

void ReportPrinter::Rule(Qt::PenStyle style) {
    painter_.setPen(QPen(Qt::black, 0, style));
    painter_.drawLine(kLeftMargin, y_, pageWidth_ - kRightMargin, y_);
    y_ += lineGap_;
}

void ReportPrinter::SetColumns(std::vector<int> widths, int cellGap) {
    columns_ = std::move(widths);
    cellGap_ = cellGap;
}

void ReportPrinter::TableRow(const QString& cells, int set, int flags) {
    painter_.setFont(Current(set));
    const int height = painter_.fontMetrics().height();
    BreakIfFull(height);
    const QStringList texts = cells.split(QLatin1Char('|'));
    int x = kLeftMargin;
    Qt::Alignment align = Qt::AlignLeft;
    if (flags & kCentre)
        align = Qt::AlignHCenter;
    else if (flags & kRight)
        align = Qt::AlignRight;
    for (size_t i = 0; i < columns_.size() && i < static_cast<size_t>(texts.size()); ++i) {
        const QRect cell(x, y_, columns_[i], height + lineGap_);
        painter_.save();
        painter_.setClipRect(cell);
        painter_.drawText(cell, static_cast<int>(align | Qt::AlignTop | Qt::TextSingleLine),
                          texts[static_cast<qsizetype>(i)]);
        painter_.restore();
        x += columns_[i] + cellGap_;
    }
    if (!(flags & kNoAdvance))
        y_ += height + lineGap_;
}

void ReportPrinter::Table(const QTableWidget& list, bool header) {
    const int count = std::min(list.columnCount(), static_cast<int>(std::size(kListWidths)));
    SetColumns(std::vector<int>(kListWidths, kListWidths + count), kListCellGap);
    if (header) {
        QStringList titles;
        for (int column = 0; column < list.columnCount(); ++column) {
            const QTableWidgetItem* item = list.horizontalHeaderItem(column);
            titles << (item ? item->text() : QString());
        }
        SelectFont(kSmall, true);
        TableRow(titles.join(QLatin1Char('|')), kSmall);
    }
    SelectFont(kSmall, false);
    for (int row = 0; row < list.rowCount(); ++row) {
        QString cells;
        for (int column = 0; column < list.columnCount(); ++column) {
            const QTableWidgetItem* item = list.item(row, column);
            QString text = item ? item->text().trimmed() : QString();
            text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
            text.replace(QLatin1Char('\n'), QLatin1Char(' '));
            text.replace(QLatin1Char('\r'), QLatin1Char(' '));
            cells += text + QLatin1Char('|');
        }
        TableRow(cells, kSmall);
    }
}
