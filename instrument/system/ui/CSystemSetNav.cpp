#include "instrument/system/ui/CSystemSetNav.h"

#include "instrument/config/LanguageTable.h"
#include "instrument/screens/ScreenSwitch.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"
#include "instrument/state/WindowMessages.h"

#include "platform/DebugOut.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/TouchCalibration.h"

#include <QTimer>

CSystemSetNav::CSystemSetNav(QWidget* parent, ScreenSwitch& screens)
    : CNavPanel(parent, dlg::kSystemSetNav, u"SystemSet_nav",
                {u"时间设置", u"系统信息", u"触摸校准", u"软件升级"}),
      screens_(screens) {}

void CSystemSetNav::OnSlot(int slot) {
    switch (slot) {
    case 0:
        screens_.Show(*this, ScreenSwitch::Screen::SubSysSet);
        break;
    case 1:
        screens_.Show(*this, ScreenSwitch::Screen::SystemInfo);
        break;
    case 2:
        CalibrateTouchScreen();
        break;
    default:
        Update();
    }
}

void CSystemSetNav::OnEscape() {
    screens_.Show(*this, ScreenSwitch::Screen::Second);
}

void CSystemSetNav::ShowMessage(const std::u16string& text) const {
    platform::MessageBox(text, MessageTitle, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void CSystemSetNav::CalibrateTouchScreen() {
    const LanguageTable texts(LanguageId, u"SystemSet_nav");
    switch (platform::CalibrateTouchScreen()) {
    case platform::CalibrationResult::Done:
        break;
    case platform::CalibrationResult::NoTouchScreen:
        ShowMessage(texts.TextOrOwn(u"messageboxNoTouch",
                                    u"This instrument has no touch screen to calibrate.",
                                    u"本仪器没有需要校准的触摸屏。"));
        break;
    case platform::CalibrationResult::Failed:
        ShowMessage(
            texts.TextOrOwn(u"messageboxCalibrateFalse",
                            u"The touch screen could not be calibrated; the previous calibration stays.",
                            u"触摸屏校准未完成，仍使用原来的校准。"));
        break;
    }
    // The calibration drew over the whole screen.
    window()->update();
}

void CSystemSetNav::Update() {
    // One updater: a second press before this program ends would start another over the same files.
    if (updating_)
        return;
    const LanguageTable texts(LanguageId, u"SystemSet_nav");
    if (!platform::IsDirectory(UDiskRoot)) {
        ShowMessage(texts.TextOr(u"messageboxNoU", u"未检测到U盘！"));
        return;
    }
    if (!platform::PathExists(UDiskRoot + "\\Lumetra.exe")) {
        ShowMessage(texts.TextOr(u"messageboxNoUpdataFile", u"U盘根目录下没有升级文件！"));
        return;
    }
    if (!platform::StartProgram(kUpdaterProgram)) {
        platform::DebugOut("cannot start %s\r\n", kUpdaterProgram);
        ShowMessage(
            texts.TextOrOwn(u"messageboxNoUpdater",
                            u"The updater could not be started. Switch the instrument off and on, then "
                            u"try again.",
                            u"无法启动升级程序。请关机重启后再试。"));
        return;
    }
    updating_ = true;
    QTimer::singleShot(kUpdaterStartMs, this, [this] { screens_.PostQuit(kQuitExitCode); });
}
