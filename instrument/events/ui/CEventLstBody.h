#pragma once
#include "instrument/state/ResourceIds.h"
#include <QString>
#include <QWidget>

class CDataLine;
class EventListControl;
namespace analysis {
class EventTable;
}
class TraceScale;

// The event list under the trace view: one row per event of the last analysis. Selecting a row moves
// the view's active cursor onto that event.
class CEventLstBody : public QWidget {
public:
    CEventLstBody(QWidget* parent, CDataLine& view);
    int Resource() const { return dlg::kEventLstBody; }
    // Deletes all rows and inserts one per event of the table.
    void Refill(const analysis::EventTable& events, const TraceScale& scale);
    // Deletes all rows, as a test does before it measures.
    void Clear();
    int RowCount() const;
    // The row's four texts, two spaces apart.
    QString Row(int row) const;
    // The row recorded by the last click or change of the selection; -1 before any.
    int SelectedRow() const { return selectedRow_; }
    EventListControl& List() const { return *list_; }

protected:
    // Relayed keys are traced and handed to the list.
    bool event(QEvent* event) override;

private:
    void OnSelectionChanged();

    CDataLine& view_;
    EventListControl* list_;
    int selectedRow_ = -1;
};
