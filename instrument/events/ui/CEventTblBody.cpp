#include "instrument/events/ui/CEventTblBody.h"

#include "instrument/events/ui/EventListControl.h"
#include "instrument/screens/PanelKeyEvent.h"
#include "instrument/state/ResourceIds.h"

#include <QLabel>
#include <QPalette>

CEventTblBody::CEventTblBody(QWidget* parent)
    : CPane(parent, dlg::kEventTblBody, u"EventTbl_body", u"top_evettbl", u"事件表") {
    // The title line the pane made, in the table's colours.
    if (auto* title = findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        QPalette colours = title->palette();
        colours.setColor(QPalette::WindowText, QColor(255, 255, 51));
        colours.setColor(QPalette::Window, QColor(0, 150, 200));
        title->setPalette(colours);
        title->setAutoFillBackground(true);
    }
    // As in the event list: room for the icon and the widest number, and no column under the scroll bar.
    list_ = new EventListControl(this, u"EventTbl_body", {{79, 73, 71, 71}, QSize(15, 15), "    %d"});
    // Down to the soft keys: a shorter pane leaves a black band above them.
    list_->setGeometry(5, 23, 310, 194);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (const int row = list_->SelectedRow(); row >= 0)
            selectedRow_ = row;
    });
}

void CEventTblBody::Refill(const analysis::EventTable& events, const TraceScale& scale) {
    list_->Refill(events, scale);
    selectedRow_ = -1;
}

bool CEventTblBody::event(QEvent* event) {
    if (event->type() != PanelKeyEvent::kType)
        return CPane::event(event);
    const auto* key = static_cast<PanelKeyEvent*>(event);
    list_->HandKey(key->VirtualKey(), key->Message());
    return true;
}
