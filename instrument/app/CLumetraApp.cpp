#include "instrument/app/CLumetraApp.h"

#include "instrument/app/AppFrontend.h"
#include "instrument/app/Threads.h"
#include "instrument/config/LanguageTable.h"
#include "instrument/config/StartupSettings.h"
#include "instrument/state/AppState.h"
#include "instrument/state/ResourceIds.h"
#include "instrument/state/WindowMessages.h"

#include "platform/Clock.h"
#include "platform/DebugOut.h"
#include "platform/DevicePath.h"
#include "platform/Files.h"
#include "platform/Locale.h"
#include "platform/MessageBox.h"
#include "platform/SystemStatus.h"
#include "platform/VirtualKeys.h"

#include <thread>

namespace {

// Captions of the program's own resources, shown when no language file is chosen.
constexpr const char16_t* kShutOffCaption = u"确定要关机吗？";
constexpr const char16_t* kMessageTitleCaption = u"提示";

} // namespace

CLumetraApp::CLumetraApp(AppFrontend& frontend) : frontend_(frontend) {
    frontend_.SetAutoCloseControl([this] { ApplyAutoClose(); });
}

int CLumetraApp::InitInstance() {
    // Before anything is written: a writer killed at its last run left its temporary file behind.
    platform::RemoveStaleTemporaryFiles();
    platform::LocalTime now = platform::GetLocalTime();
    if (now.year > 2030)
        now.year = 2011;
    if (!platform::SetLocalTime(now))
        platform::MessageBox(u"system year set false", u"message", platform::MB_OK);

    const StartupSettings startup = ReadStartupSettings(platform::UserDefaultLocaleId());
    LanguageId = startup.languageId;
    AutoCloseOn = startup.autoCloseOn;
    InvalidMeter = startup.invalidMeter;
    VersionNumber = startup.versionNumber;

    const LanguageTable texts(LanguageId, u"lumetra_app");
    ShutOffText = texts.TextOr(u"IsShutOff", kShutOffCaption);
    MessageTitle = texts.TextOr(u"MessageBoxTitle", kMessageTitleCaption);

    std::thread(ThreadFuncOfCheckCpuIdle).detach();
    platform::HideTaskBar();
    std::thread([&frontend = frontend_] { ThreadOfPowerKey(frontend); }).detach();
    if (AutoCloseOn == 1)
        StartAutoClose();
    ResetTraceDisplayState();
    UDiskRoot = platform::UsbDiskRoot();
    std::thread(ThreadOfWriteUpdater, UpdaterRequest{rcdata::kUpdaterImage, "UPDATA", "Vantrel.exe"})
        .detach();

    return frontend_.RunMainDialog();
}

void CLumetraApp::StartAutoClose() {
    if (autoClose_)
        return;
    if (retiredAutoClose_) {
        retiredAutoClose_->Join();
        retiredAutoClose_.reset();
    }
    autoClose_ = std::make_unique<QueuedThread>(ThreadOfAutoClose);
}

void CLumetraApp::StopAutoClose() {
    if (!autoClose_)
        return;
    autoClose_->Post(WM_AUTOCLOSE_QUIT);
    retiredAutoClose_ = std::move(autoClose_);
}

void CLumetraApp::ApplyAutoClose() {
    if (AutoCloseOn == 1)
        StartAutoClose();
    else
        StopAutoClose();
}

void CLumetraApp::AdvanceVflCycle() {
    switch (VflState) {
    case 0:
        if (!vfl_) {
            if (retiredVfl_) {
                retiredVfl_->Join();
                retiredVfl_.reset();
            }
            vfl_ = std::make_unique<QueuedThread>(ThreadOfVfl);
        }
        vfl_->Post(WM_VFL_ON);
        VflState = 1;
        platform::DebugOut(
            "VFL-Open -------------------------$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$4----------\r\n");
        break;
    case 1:
        if (vfl_)
            vfl_->Post(WM_VFL_FLASH);
        VflState = 2;
        platform::DebugOut("VFL-FLASH -----------------$$$$$$$$$$$$$$$$$$$$$$$$$------------------\r\n");
        break;
    default:
        if (vfl_)
            vfl_->Post(WM_VFL_QUIT);
        retiredVfl_ = std::move(vfl_);
        VflState = 0;
        platform::DebugOut("VFL-Close -------------------/$$$$$$$$$$$$$$$$$$$$$$$$$$$44----------------\r\n");
        break;
    }
}

bool CLumetraApp::PreTranslateMessage(uint32_t message, uint32_t vk) {
    using namespace platform;
    const bool keyDown = message == WM_KEYDOWN;
    if ((keyDown || message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) && AutoCloseOn == 1 && autoClose_)
        autoClose_->Post(WM_AUTOCLOSE_RESET);
    if (!keyDown && message != WM_KEYUP)
        return false;

    if (!TestRunning)
        frontend_.RelayPanelKey(vk, message);

    // Stopping a real-time test: the release of Escape or T.
    const auto stopRealtime = [&] {
        if (!keyDown && TestRunning == 1 && TestMode == 1)
            StopRealtimeRequest = 1;
    };
    bool consumed = false;
    switch (vk) {
    case VK_ESCAPE:
        stopRealtime();
        consumed = true;
        break;
    case VK_T:
        stopRealtime();
        if (!keyDown && frontend_.CurrentBodyIsTraceView() && !TestRunning && VflState == 0)
            frontend_.StartQuickTest();
        break;
    case VK_V:
        if (!keyDown)
            vKeyRepeat_ = 0;
        else if (!TestRunning && ++vKeyRepeat_ == 3)
            AdvanceVflCycle();
        break;
    default:
        break;
    }
    if (const char* name = KeyName(vk))
        DebugOut("%s    App-------------\r\n", name);
    return consumed;
}
