#include "platform/qt/ScreenShot.h"

#include "shared/fileio/HostFiles.h"

#include <QApplication>
#include <QBuffer>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <algorithm>
#include <span>

namespace platform {

bool SaveScreenShot(QWidget& screen, const std::string& file) {
    QPixmap shot = screen.grab();
    QPainter painter(&shot);
    // Message boxes and dialogs are windows of their own; put them where they stand over the screen, the
    // modal one (a box waiting for its answer) above the others.
    QList<QWidget*> windows;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top != &screen && top->isVisible() && top->isWindow())
            windows.append(top);
    std::stable_partition(windows.begin(), windows.end(),
                          [](const QWidget* window) { return !window->isModal(); });
    for (QWidget* top : windows)
        painter.drawPixmap(top->geometry().topLeft() - screen.geometry().topLeft(), top->grab());
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    return buffer.open(QIODevice::WriteOnly) && shot.save(&buffer, "PNG") &&
           fileio::ReplaceFile(file, std::span(reinterpret_cast<const uint8_t*>(png.constData()),
                                               static_cast<size_t>(png.size())));
}

} // namespace platform
