#include "instrument/app/CLumetraDlg.h"

#include "instrument/acquisition/ui/CSetInvalidMeterBody.h"
#include "instrument/acquisition/ui/CSetOtdrBody.h"
#include "instrument/acquisition/ui/CSetOtdrNav.h"
#include "instrument/app/CAutoTestWaitDlg.h"
#include "instrument/app/CBody.h"
#include "instrument/app/CCloseBack.h"
#include "instrument/app/CNav1Dlg.h"
#include "instrument/app/CNav2Dlg.h"
#include "instrument/app/CTimeAndPower.h"
#include "instrument/display/ui/CCurveOprNav.h"
#include "instrument/display/ui/CDataLine.h"
#include "instrument/events/ui/CEventOprNav.h"
#include "instrument/events/ui/CEventTblBody.h"
#include "instrument/events/ui/CEventTblNav.h"
#include "instrument/files/ui/CFileCopyBody.h"
#include "instrument/files/ui/CFileCopyNav.h"
#include "instrument/files/ui/CFileDeleteNav.h"
#include "instrument/files/ui/CFileOprNav.h"
#include "instrument/files/ui/CFileReadBody.h"
#include "instrument/files/ui/CFileReadNav.h"
#include "instrument/files/ui/CFileSaveBody.h"
#include "instrument/files/ui/CFileSaveNav.h"
#include "instrument/screens/Bitmaps.h"
#include "instrument/screens/PanelKeyEvent.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"
#include "instrument/system/ui/CHelpOTDR.h"
#include "instrument/system/ui/CSubSysSetNav.h"
#include "instrument/system/ui/CSystemHelpNav.h"
#include "instrument/system/ui/CSystemInfoBody.h"
#include "instrument/system/ui/CSystemInfoNav.h"
#include "instrument/system/ui/CSystemSetBody.h"
#include "instrument/system/ui/CSystemSetNav.h"

#include "platform/DebugOut.h"
#include "platform/InputPanel.h"
#include "platform/VirtualKeys.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QPalette>
#include <QPushButton>
#include <QTimer>

CLumetraDlg::CLumetraDlg(std::function<void()> applyAutoClose, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      applyAutoClose_(std::move(applyAutoClose)) {
    setWindowTitle(QStringLiteral("OTDR_TEST_WND"));
    setWindowIcon(QIcon(Bitmap(bmp::kProgramIcon)));
    setFixedSize(320, 240);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);
    // Every screen is created once, in this order, and afterwards only shown and hidden.
    body_ = Create<CBody>(true);
    auto* nav1 = nav1_ = Create<CNav1Dlg>(true);
    auto* nav2 = Create<CNav2Dlg>(false);
    auto* fileOpr = Create<CFileOprNav>(false);
    auto* fileSaveNav = Create<CFileSaveNav>(false);
    auto* fileReadNav = Create<CFileReadNav>(false);
    auto* fileDeleteNav = Create<CFileDeleteNav>(false);
    auto* fileCopyNav = Create<CFileCopyNav>(false);
    auto* curveOpr = Create<CCurveOprNav>(false);
    Create<CEventOprNav>(false);
    auto* eventTblNav = Create<CEventTblNav>(false);
    auto* setOtdrNav = Create<CSetOtdrNav>(false);
    auto* systemSetNav = Create<CSystemSetNav>(false);
    auto* subSysSetNav = Create<CSubSysSetNav>(false);
    auto* systemInfoNav = Create<CSystemInfoNav>(false);
    auto* helpNav = Create<CSystemHelpNav>(false);
    auto* fileList = fileList_ = Create<CFileReadBody>(false);
    auto* fileSave = fileSave_ = Create<CFileSaveBody>(false);
    auto* fileCopy = fileCopy_ = Create<CFileCopyBody>(false);
    auto* eventTbl = eventTbl_ = Create<CEventTblBody>(false);
    auto* setOtdr = setOtdr_ = Create<CSetOtdrBody>(false);
    auto* systemSet = systemSet_ = Create<CSystemSetBody>(false);
    auto* systemInfo = Create<CSystemInfoBody>(false);
    waitWindow_ = Create<CAutoTestWaitDlg>(false);
    auto* help = help_ = Create<CHelpOTDR>(false);
    closeBack_ = Create<CCloseBack>(false);
    invalidMeter_ = Create<CSetInvalidMeterBody>(false);
    screens_ = {
        {Screen::Main, {nav1, nullptr}},
        {Screen::Second, {nav2, nullptr}},
        {Screen::CurveOperation, {curveOpr, nullptr}},
        {Screen::FileOperation, {fileOpr, nullptr}},
        {Screen::FileSave, {fileSaveNav, fileSave}},
        {Screen::FileRead, {fileReadNav, fileList}},
        {Screen::FileDelete, {fileDeleteNav, fileList}},
        {Screen::FileCopy, {fileCopyNav, fileCopy}},
        {Screen::EventTable, {eventTblNav, eventTbl}},
        {Screen::TestSettings, {setOtdrNav, setOtdr}},
        {Screen::SystemSet, {systemSetNav, nullptr}},
        {Screen::SubSysSet, {subSysSetNav, systemSet}},
        {Screen::SystemInfo, {systemInfoNav, systemInfo}},
        {Screen::Help, {helpNav, help}},
    };
    CurrentPanel = nav1;
    CurrentBody = body_;
}

template <typename Widget> Widget* CLumetraDlg::Create(bool shown) {
    Widget* widget;
    if constexpr (std::is_constructible_v<Widget, QWidget*, ScreenSwitch&>)
        widget = new Widget(this, *this);
    else
        widget = new Widget(this);
    widget->setVisible(shown);
    if constexpr (requires { widget->Resource(); })
        windows_[widget->Resource()] = widget;
    return widget;
}

QWidget* CLumetraDlg::Window(int resource) const {
    const auto it = windows_.find(resource);
    return it == windows_.end() ? nullptr : it->second;
}

CTimeAndPower* CLumetraDlg::StatusBar() const {
    return body_->StatusBar();
}

StatusLine& CLumetraDlg::Status() {
    return *StatusBar();
}

CDataLine& CLumetraDlg::TraceView() {
    return *body_->TraceView();
}

void CLumetraDlg::Show(CNavPanel& from, Screen to) {
    const ScreenParts& target = screens_.at(to);
    // The keyboard belongs to the screen it was called up on.
    platform::ShowInputPanel(false);
    // Only a measured trace is saved: one opened from a file is already kept.
    if (to == Screen::FileOperation)
        target.panel->Button(0)->setEnabled(TraceLoaded == 1 && TraceView().ParametersChanged());
    // Only the main panel refreshes the table; the event panel shows the rows of the last refill.
    if (to == Screen::EventTable && &from == nav1_ && TraceView().HasModel())
        eventTbl_->Refill(TraceView().Events(), *TraceView().Scale());
    from.hide();
    target.panel->show();
    QWidget* shown = CurrentBody != body_ ? CurrentBody : nullptr;
    if (target.pane) {
        if (shown && shown != target.pane)
            shown->hide();
        target.pane->show();
        body_->hide();
        CurrentBody = target.pane;
    } else {
        if (shown)
            shown->hide();
        body_->show();
        CurrentBody = body_;
    }
    CurrentPanel = target.panel;
    // The focus returns to the control the panel's steps last reached.
    if (to == Screen::TestSettings) {
        setOtdr_->EnableFieldsForTestWay();
        setOtdr_->FocusControl(static_cast<CSetOtdrNav*>(target.panel)->FocusedControl());
    }
}

void CLumetraDlg::ReplaceBody(QWidget& pane) {
    if (CurrentBody && CurrentBody != &pane)
        CurrentBody->hide();
    pane.show();
    CurrentBody = &pane;
}

void CLumetraDlg::ApplyAutoClose() {
    if (applyAutoClose_)
        applyAutoClose_();
}

void CLumetraDlg::ShowMainPanel() {
    nav1_->show();
    CurrentPanel = nav1_;
    CurrentBody = body_;
}

CEventLstBody& CLumetraDlg::EventList() {
    return *body_->EventList();
}

void CLumetraDlg::UpdateReadout() {
    nav1_->OnUpdateReadout();
}

bool CLumetraDlg::PreTranslateMessage(uint32_t message, uint32_t vk) {
    if (message == platform::WM_KEYDOWN && vk == platform::VK_ESCAPE)
        return true;
    if (const char* name = platform::KeyName(vk))
        platform::DebugOut("%s    CEDlg-------------\r\n", name);
    return false;
}

void CLumetraDlg::RelayPanelKey(uint32_t vk, uint32_t message) {
    // The curve panel shifts and zooms with Up and Down; the event list under the trace must not move
    // its selection, and cursor B with it, at the same time.
    const bool panelOnly =
        CurrentPanel == Window(dlg::kCurveOprNav) && (vk == platform::VK_UP || vk == platform::VK_DOWN);
    for (QWidget* target : {CurrentPanel, panelOnly ? nullptr : CurrentBody}) {
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
