#pragma once
#include <QObject>

class CLumetraApp;
class QtFrontend;

// The application-wide filter in front of every window: keys and stylus presses go to the
// application object first, then to the main dialog's own filter. F12, which the keypad lacks,
// is the power key.
class AppEventFilter : public QObject {
public:
    AppEventFilter(CLumetraApp& app, QtFrontend& frontend) : app_(app), frontend_(frontend) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CLumetraApp& app_;
    QtFrontend& frontend_;
};
