#pragma once
#include <QWidget>

class QListWidget;
class EventTable;
class TraceScale;

// The event list in the lower part of the trace view: one row per event of the last analysis.
class CEventLstBody : public QWidget {
public:
    explicit CEventLstBody(QWidget* parent);
    int Resource() const { return 159; }
    // Refills the rows from the table, with distances by the scale's kilometres per sample.
    void Refill(const EventTable& events, const TraceScale& scale);
    int RowCount() const;
    QString Row(int row) const;

private:
    QListWidget* list_;
};
