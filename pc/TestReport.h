#pragma once
#include <QString>

class COTDRView;
class QPaintDevice;
class QWidget;

// The test report of what the form shows at this moment: title, file and dates, parameters, cursor
// measurements, the trace view's picture and the event list.

// On a device not yet painted on; 1 when printed, 0 when no painter could be opened on it.
int PrintReport(const COTDRView& view, QPaintDevice& device);
// As an A4 PDF at 600 dpi; 1 when written, 0 when not.
int WriteReportPdf(const COTDRView& view, const QString& path);
// File > Print: the print dialog without printing to a file, then the report; 0 on Cancel.
int PrintWithDialog(const COTDRView& view, QWidget* parent);
// OTDR --report: the trace opened and analysed with its own threshold, its report written without a
// window; the program's exit code, the reason for a failure on standard error.
int WriteTraceReport(const QString& pdf, const QString& trace);
