#include "instrument/app/CLumetraDlg.h"

#include "instrument/app/Bitmaps.h"
#include "instrument/app/CBody.h"
#include "instrument/app/CCloseBack.h"
#include "instrument/app/CNav1Dlg.h"
#include "instrument/app/CNav2Dlg.h"
#include "instrument/app/CTimeAndPower.h"
#include "instrument/app/PanelKeyEvent.h"

#include "platform/DebugOut.h"
#include "platform/VirtualKeys.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QPalette>
#include <QTimer>

CLumetraDlg::CLumetraDlg(QWidget* parent)
    : QDialog(parent,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("OTDR_TEST_WND"));
    setWindowIcon(QIcon(Bitmap(101)));
    setFixedSize(320, 240);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);
    body_ = new CBody(this);
    nav1_ = new CNav1Dlg(this, *this);
    nav2_ = new CNav2Dlg(this, *this);
    nav2_->hide();
    closeBack_ = new CCloseBack(this);
    closeBack_->hide();
    CurrentPanel = nav1_;
    CurrentBody = body_;
}

CTimeAndPower* CLumetraDlg::StatusBar() const {
    return body_->StatusBar();
}

CNavPanel& CLumetraDlg::MainPanel() {
    return *nav1_;
}
CNavPanel& CLumetraDlg::SecondPanel() {
    return *nav2_;
}

void CLumetraDlg::Switch(CNavPanel& from, CNavPanel& to, QWidget* pane) {
    from.hide();
    to.show();
    if (pane) {
        pane->show();
        body_->hide();
        shownPane_ = pane;
        CurrentBody = pane;
    } else {
        if (shownPane_)
            shownPane_->hide();
        shownPane_ = nullptr;
        body_->show();
        CurrentBody = body_;
    }
    CurrentPanel = &to;
}

bool CLumetraDlg::PreTranslateMessage(uint32_t message, uint32_t vk) {
    if (message == platform::WM_KEYDOWN && vk == platform::VK_ESCAPE)
        return true;
    if (const char* name = platform::KeyName(vk))
        platform::DebugOut("%s    CEDlg-------------\r\n", name);
    return false;
}

void CLumetraDlg::RelayPanelKey(uint32_t vk, uint32_t message) {
    for (QWidget* target : {CurrentPanel, CurrentBody}) {
        if (target) {
            PanelKeyEvent event(vk, message);
            QCoreApplication::sendEvent(target, &event);
        }
    }
}

bool CLumetraDlg::CurrentBodyIsTraceView() const {
    return CurrentBody != nullptr && CurrentBody == body_;
}

void CLumetraDlg::ShowCloseBack() {
    closeBack_->show();
    closeBack_->raise();
    closeBack_->repaint();
}

void CLumetraDlg::PostQuit(int exitCode) {
    QTimer::singleShot(0, this, [this, exitCode] { done(exitCode); });
}

void CLumetraDlg::closeEvent(QCloseEvent* event) {
    // Closing the desktop window is pulling the instrument's power: the run ends without the quit code.
    event->accept();
    done(0);
}
