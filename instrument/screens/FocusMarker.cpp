#include "instrument/screens/FocusMarker.h"

#include <QApplication>
#include <QPainter>

FocusMarker::FocusMarker(QWidget* pane) : QWidget(pane), pane_(pane) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { Follow(now); });
}

void FocusMarker::Follow(QWidget* focused) {
    const bool ours = focused && focused != pane_ && pane_->isAncestorOf(focused) &&
                      (focused->focusPolicy() & Qt::TabFocus);
    target_ = ours ? focused : nullptr;
    if (!target_) {
        hide();
        return;
    }
    // Over the control's own edge, so the frame is never cut by a neighbour or the pane's border.
    setGeometry(QRect(focused->mapTo(pane_, QPoint(0, 0)), focused->size()));
    raise();
    show();
    update();
}

void FocusMarker::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor colour = palette().color(QPalette::Highlight);
    const QRect r = rect();
    painter.fillRect(0, 0, r.width(), kWidth, colour);
    painter.fillRect(0, r.height() - kWidth, r.width(), kWidth, colour);
    painter.fillRect(0, 0, kWidth, r.height(), colour);
    painter.fillRect(r.width() - kWidth, 0, kWidth, r.height(), colour);
}
