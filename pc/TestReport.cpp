#include "pc/TestReport.h"

#include "pc/CDataLine.h"
#include "pc/COTDRView.h"
#include "pc/ReportPrinter.h"

#include "shared/fileio/HostFiles.h"

#include <QBuffer>
#include <QDate>
#include <QFile>
#include <QPdfWriter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QTableWidget>
#include <cstdio>

namespace {

constexpr const char* kTitle = "KR4700 OTDR Test Report";
constexpr const char* kDocumentName = "OTDR";
constexpr int kPdfDpi = 600;
constexpr int kPictureScale = 6;
// Ten dots short of the picture's 1440: the blank line of the next heading keeps the two apart.
constexpr int kPictureAdvance = 1430;
constexpr int kParameterColumns[] = {800, 1100, 1100, 1100};
constexpr int kCellGap = 100;

QString Cells(const QStringList& cells) {
    return cells.join(QLatin1Char('|')) + QLatin1Char('|');
}

} // namespace

int PrintReport(const COTDRView& view, QPaintDevice& device) {
    ReportPrinter printer;
    if (!printer.StartJob(device))
        return 0;
    const QDate today = QDate::currentDate();
    const QString printDate = QString::asprintf("%.4d-%.2d-%.2d", today.year(), today.month(), today.day());
    printer.StartPage();
    printer.SelectFont(ReportPrinter::kLarge, true);
    printer.PrintText(QString::fromLatin1(kTitle), ReportPrinter::kLarge, ReportPrinter::kCentre);
    printer.PrintText(QStringLiteral("FileName:") + view.FileName() + QStringLiteral("         TestTime:") +
                          QString::asprintf("%s            ", qPrintable(view.TestDate())) +
                          QStringLiteral("PrintTime:") + printDate,
                      ReportPrinter::kSmall);
    printer.Rule(Qt::SolidLine);

    const auto parameter = [&](const char* label) { return view.ParameterText(QString::fromLatin1(label)); };
    printer.Heading(QStringLiteral("Parameters"), true);
    printer.Rule(Qt::DotLine);
    printer.SetColumns({std::begin(kParameterColumns), std::end(kParameterColumns)}, kCellGap);
    printer.TableRow(Cells({"Range:", parameter("Range"), "WaveLength:", parameter("WaveLength")}),
                     ReportPrinter::kSmall);
    printer.TableRow(
        Cells({"PulseWidth:", parameter("PulseWidth"), "Attenuation:", parameter("Attenuation")}),
        ReportPrinter::kSmall);
    printer.TableRow(
        Cells({"Refractive:", parameter("Refractive"), "OpticalCoeff.:", parameter("OpticalCoeff.")}),
        ReportPrinter::kSmall);
    printer.TableRow(
        Cells({"AverageTimes:", parameter("AverageTimes"), "Threshold:", parameter("Threshold")}),
        ReportPrinter::kSmall);

    const auto measure = [&](const char* label) { return view.MeasureText(QString::fromLatin1(label)); };
    const bool fourCursors = view.TraceView().Mode() == 1;
    printer.Heading(QStringLiteral("Wave Form Data"), true);
    printer.Rule(Qt::DotLine);
    printer.TableRow(Cells({"(A-B)Loss:", measure("(A-B)Loss"), "(A-B)Distance:", measure("(A-B)Distance")}),
                     ReportPrinter::kSmall);
    if (fourCursors) {
        printer.TableRow(Cells({"AverageLoss:", measure("AverageLoss"), measure("a-A"), measure("B-b")}),
                         ReportPrinter::kSmall);
        printer.TableRow(Cells({"JointLoss:", measure("JointLoss")}), ReportPrinter::kSmall);
    } else {
        printer.TableRow(Cells({"AverageLoss:", measure("AverageLoss")}), ReportPrinter::kSmall);
    }

    printer.Heading(QStringLiteral("OTDR Test Wave Form"), true, ReportPrinter::kCentre);
    CDataLine& trace = view.TraceView();
    trace.repaint();
    const QPixmap picture = trace.grab();
    const QRect target(printer.LeftMargin(), printer.Y(), picture.width() * kPictureScale,
                       picture.height() * kPictureScale);
    printer.Painter().setRenderHint(QPainter::SmoothPixmapTransform, false);
    printer.Painter().drawPixmap(target, picture);
    printer.Advance(kPictureAdvance);

    // The list ends in an empty row; a list of that row alone holds no event.
    if (view.EventList().rowCount() > 1) {
        printer.Heading(QStringLiteral("Event List"), true);
        printer.Rule(Qt::DotLine);
        printer.Table(view.EventList(), true);
    }
    printer.EndJob();
    return 1;
}

int WriteReportPdf(const COTDRView& view, const QString& path) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QString::fromLatin1(kDocumentName));
        pdf.setCreator(QString::fromLatin1(kDocumentName));
        pdf.setResolution(kPdfDpi);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        if (!PrintReport(view, pdf))
            return 0;
    }
    const QByteArray& bytes = buffer.data();
    return fileio::ReplaceFile(
               QFile::encodeName(path).toStdString(),
               {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())})
               ? 1
               : 0;
}

int PrintWithDialog(const COTDRView& view, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    printer.setDocName(QString::fromLatin1(kDocumentName));
    return PrintReport(view, printer);
}

int WriteTraceReport(const QString& pdf, const QString& trace) {
    COTDRView view;
    if (!view.LoadFromDocument(trace)) {
        std::fprintf(stderr, "OTDR: cannot read %s: not a readable trace file\n", qPrintable(trace));
        return 1;
    }
    view.EventAnalysis();
    if (!WriteReportPdf(view, pdf)) {
        std::fprintf(stderr, "OTDR: cannot write %s\n", qPrintable(pdf));
        return 1;
    }
    return 0;
}
