#pragma once
#include "instrument/screens/CPane.h"

class EventListControl;
namespace analysis {
class EventTable;
}
class TraceScale;

// The event table pane: the title line over the list of all events.
class CEventTblBody : public CPane {
public:
    explicit CEventTblBody(QWidget* parent);
    // Deletes the rows and inserts one per event of the table.
    void Refill(const analysis::EventTable& events, const TraceScale& scale);
    // The row of the last selection; -1 before any or after a refill.
    int SelectedRow() const { return selectedRow_; }
    EventListControl& List() const { return *list_; }

protected:
    // Relayed keys are handed to the list.
    bool event(QEvent* event) override;

private:
    EventListControl* list_;
    int selectedRow_ = -1;
};
