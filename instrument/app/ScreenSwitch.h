#pragma once

class CNavPanel;
class QWidget;

// Moving between screens: the acting panel hides, the target panel shows, and the target pane replaces
// the trace view (or, without one, the trace view comes back); keys then go to the new pair.
class ScreenSwitch {
public:
    virtual ~ScreenSwitch() = default;
    virtual void Switch(CNavPanel& from, CNavPanel& to, QWidget* pane) = 0;
    virtual CNavPanel& MainPanel() = 0;
    virtual CNavPanel& SecondPanel() = 0;
};
