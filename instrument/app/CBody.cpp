#include "instrument/app/CBody.h"

#include "instrument/acquisition/TraceData.h"
#include "instrument/display/ui/CDataLine.h"
#include "instrument/events/ui/CEventLstBody.h"
#include "instrument/state/AppState.h"

#include "instrument/app/CTimeAndPower.h"
#include "instrument/screens/PanelKeyEvent.h"

#include <QCoreApplication>

CBody::CBody(QWidget* parent) : QWidget(parent) {
    setGeometry(0, 0, 320, 217);
    traceView_ = new CDataLine(this, CurrentTrace(), VersionNumber, MessageTitle);
    eventList_ = new CEventLstBody(this, *traceView_);
    traceView_->OnAnalysed([this] { eventList_->Refill(traceView_->Events(), *traceView_->Scale()); });
    statusBar_ = new CTimeAndPower(this);
    statusBar_->raise();
}

bool CBody::event(QEvent* event) {
    if (event->type() != PanelKeyEvent::kType)
        return QWidget::event(event);
    // Relayed keys go on, unchanged, to the trace view and then to the event list inside.
    const auto* key = static_cast<PanelKeyEvent*>(event);
    for (QWidget* child : {static_cast<QWidget*>(traceView_), static_cast<QWidget*>(eventList_)}) {
        PanelKeyEvent copy(key->VirtualKey(), key->Message());
        QCoreApplication::sendEvent(child, &copy);
    }
    return true;
}
