#pragma once
#include "instrument/state/ResourceIds.h"
#include <QWidget>

class CDataLine;
class CEventLstBody;
class CTimeAndPower;

// The main body pane: the trace view with the status bar over its top and the event list under it.
class CBody : public QWidget {
public:
    explicit CBody(QWidget* parent);
    CTimeAndPower* StatusBar() const { return statusBar_; }
    CDataLine* TraceView() const { return traceView_; }
    CEventLstBody* EventList() const { return eventList_; }
    int Resource() const { return dlg::kBody; }

protected:
    bool event(QEvent* event) override;

private:
    CDataLine* traceView_;
    CEventLstBody* eventList_;
    CTimeAndPower* statusBar_;
};
