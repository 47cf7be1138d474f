#include "pc/SorExchange.h"

#include "pc/CDataLine.h"
#include "pc/COTDRView.h"

#include "shared/sor/TraceConversion.h"
#include "shared/tracefile/TraceFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

std::string Native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

QString ImportSorFile(const QString& sorPath, const QString& tracePath, QString& note) {
    note.clear();
    const QString cannot = QStringLiteral("Cannot import %1: ").arg(sorPath);
    sor::SorFile file;
    sor::SorError readError = sor::SorError::None;
    if (sor::ReadFile(Native(sorPath), file, &readError) != 0)
        return cannot + QString::fromLatin1(sor::Describe(readError));
    sor::ImportedTrace imported;
    sor::ConversionError error = sor::ConversionError::None;
    if (sor::ImportTrace(file, 0.0f, imported, &error) != 0)
        return cannot + QString::fromLatin1(sor::Describe(error));
    if (tracefile::WriteTraceFile(Native(tracePath), imported.samples, imported.block) != 1)
        return QStringLiteral("Cannot write %1").arg(tracePath);
    if (imported.cut)
        note = QStringLiteral("The trace (%1 km) runs past 128 km and is cut there.")
                   .arg(QString::asprintf("%.3f", imported.traceKm));
    return {};
}

QString ExportSorFile(const COTDRView& view, const QString& sorPath) {
    const pc::TraceModel* model = view.TraceView().Model();
    if (!model)
        return QStringLiteral("No trace is open.");
    const QDateTime modified =
        QFileInfo(QFile::decodeName(QByteArray::fromStdString(model->Path()))).lastModified();
    const auto measured = static_cast<uint32_t>(std::max<qint64>(0, modified.toSecsSinceEpoch()));
    sor::SorFile file;
    sor::ConversionError error = sor::ConversionError::None;
    if (sor::ExportTrace(model->Samples(), model->Parameters(), view.ShownEvents(),
                         {measured, "OTDR", LUMETRA_VERSION}, file, &error) != 0)
        return QStringLiteral("Cannot export: ") + QString::fromLatin1(sor::Describe(error));
    sor::SorError writeError = sor::SorError::None;
    if (sor::WriteFile(Native(sorPath), file, &writeError) != 0)
        return QStringLiteral("Cannot write %1").arg(sorPath);
    return {};
}
