#pragma once
#include "instrument/app/CPane.h"

class EventTable;
class TraceScale;

// The event table pane.
class CEventTblBody : public CPane {
public:
    explicit CEventTblBody(QWidget* parent);
    // Deletes the rows and inserts one per event of the table.
    void Refill(const EventTable& events, const TraceScale& scale);
};
