#pragma once
#include <QPixmap>

// A bitmap of the program's resources, by its number.
inline QPixmap Bitmap(int id) {
    return QPixmap(QStringLiteral(":/bitmap/%1.png").arg(id));
}
