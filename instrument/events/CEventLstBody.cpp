#include "instrument/events/CEventLstBody.h"

#include "instrument/display/TraceScale.h"

#include "shared/analysis/EventTable.h"

#include <QListWidget>

CEventLstBody::CEventLstBody(QWidget* parent) : QWidget(parent) {
    setGeometry(0, 180, 320, 37);
    list_ = new QListWidget(this);
    list_->setGeometry(0, 0, 320, 37);
    list_->setFocusPolicy(Qt::NoFocus);
}

void CEventLstBody::Refill(const EventTable& events, const TraceScale& scale) {
    list_->clear();
    int number = 0;
    for (const EventRecord& e : events.Events()) {
        const QString loss = e.loss == 0.0f ? QStringLiteral("------") : QString::asprintf("%.3f dB", e.loss);
        list_->addItem(QString::asprintf("%d  %s  %.3f km  ", ++number, e.type == Reflective ? "R" : "NR",
                                         e.position * scale.KmPerSample()) +
                       loss);
    }
}

int CEventLstBody::RowCount() const {
    return list_->count();
}

QString CEventLstBody::Row(int row) const {
    return list_->item(row) ? list_->item(row)->text() : QString();
}
