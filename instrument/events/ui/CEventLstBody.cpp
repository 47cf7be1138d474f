#include "instrument/events/ui/CEventLstBody.h"

#include "instrument/display/TraceScale.h"
#include "instrument/display/ui/CDataLine.h"
#include "instrument/events/ui/EventListControl.h"
#include "instrument/screens/PanelKeyEvent.h"

#include "platform/DebugOut.h"
#include "platform/VirtualKeys.h"

#include "shared/analysis/EventTable.h"

#include <QStringList>

CEventLstBody::CEventLstBody(QWidget* parent, CDataLine& view) : QWidget(parent), view_(view) {
    setGeometry(0, 180, 320, 37);
    setFocusPolicy(Qt::NoFocus);
    // The first column holds the icon and the widest number a table can reach, the last event of a
    // trace with an event on every sample; the four columns share the width the scroll bar leaves.
    list_ = new EventListControl(this, u"EventLst_body", {{77, 76, 77, 76}, QSize(16, 15), "   %d"});
    list_->setGeometry(0, 0, 320, 37);
    // 37 pixels hold the header and one whole row only without the frame and with a header no taller
    // than the rest.
    list_->setFrameShape(QFrame::NoFrame);
    list_->SetHeaderHeight(37 - list_->RowHeight());
    connect(list_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        selectedRow_ = list_->indexOfTopLevelItem(item);
        platform::DebugOut("OnNMClickEventList \r\n");
    });
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(); });
}

void CEventLstBody::Refill(const analysis::EventTable& events, const TraceScale& scale) {
    list_->Refill(events, scale);
    selectedRow_ = -1;
}

void CEventLstBody::Clear() {
    list_->clear();
    selectedRow_ = -1;
}

int CEventLstBody::RowCount() const {
    return list_->topLevelItemCount();
}

QString CEventLstBody::Row(int row) const {
    QStringList texts;
    for (int column = 0; column < 4; ++column)
        texts << list_->Text(row, column);
    return texts.join(QStringLiteral("  "));
}

void CEventLstBody::OnSelectionChanged() {
    const int row = list_->SelectedRow();
    if (row < 0)
        return;
    selectedRow_ = row;
    // One row shows at a time: the selected one must be it.
    list_->scrollToItem(list_->topLevelItem(row));
    analysis::EventRecord event;
    const TraceScale* scale = view_.Scale();
    if (!scale || view_.Events().GetEvent(list_->EventOf(row), event) != 0)
        return;
    // Rounded down, an event left of the first sample shown gets a negative column, which the view
    // refuses: the view stays where it is rather than snapping the cursor to column 0 and panning.
    const int64_t offset = static_cast<int64_t>(event.position) - scale->FirstSample();
    const int64_t step = scale->Step();
    const int64_t column = offset >= 0 ? offset / step : -((-offset + step - 1) / step);
    view_.SetCursorColumn(static_cast<int>(column));
}

bool CEventLstBody::event(QEvent* event) {
    if (event->type() != PanelKeyEvent::kType)
        return QWidget::event(event);
    const auto* key = static_cast<PanelKeyEvent*>(event);
    if (const char* name = platform::KeyName(key->VirtualKey()))
        platform::DebugOut("%s    CEventLstBody-------------\r\n", name);
    list_->HandKey(key->VirtualKey(), key->Message());
    return true;
}
