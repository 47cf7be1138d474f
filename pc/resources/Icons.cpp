#include "pc/resources/Icons.h"

#include <QFile>

QIcon ToolbarIcon(const char* name) {
    const QString path = QStringLiteral(":/otdr/%1.png").arg(QString::fromUtf8(name));
    // QIcon of a missing path is not null; a misspelt name must show as one, not as an empty button.
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

QIcon ProgramIcon() {
    QIcon icon(QStringLiteral(":/otdr/otdr-32.png"));
    icon.addFile(QStringLiteral(":/otdr/otdr.png"));
    return icon;
}
