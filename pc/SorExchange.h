#pragma once
#include <QString>

class COTDRView;

// File > Import SOR... and Export SOR..., as otdrtool's import and export --sor do them. Each returns
// an empty text when done, else what to tell the user.

// The SOR file's trace resampled onto the instrument's grid and written as a trace file; `note` gets a
// remark for a trace cut at the range's end, else stays empty.
QString ImportSorFile(const QString& sorPath, const QString& tracePath, QString& note);
// The view's trace, parameters and listed events as a SOR file.
QString ExportSorFile(const COTDRView& view, const QString& sorPath);
