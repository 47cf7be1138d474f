#pragma once
#include <QWidget>

class CDataLine;
class CTimeAndPower;

// The main body pane: the trace view with the status bar over its top.
class CBody : public QWidget {
public:
    explicit CBody(QWidget* parent);
    CTimeAndPower* StatusBar() const { return statusBar_; }
    CDataLine* TraceView() const { return traceView_; }
    int Resource() const { return 129; }

protected:
    bool event(QEvent* event) override;

private:
    CDataLine* traceView_;
    CTimeAndPower* statusBar_;
};
