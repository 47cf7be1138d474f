#include "instrument/app/Threads.h"

#include "instrument/acquisition/DriverCalls.h"
#include "instrument/app/AppFrontend.h"
#include "instrument/state/AppState.h"
#include "instrument/state/WindowMessages.h"

#include "platform/Clock.h"
#include "platform/DebugOut.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/PowerKey.h"
#include "platform/Resources.h"
#include "platform/SystemStatus.h"
#include "platform/Time.h"

int AfxCloseMachine() {
    platform::DebugOut("AfxCloseMachine------------------\r\n");
    return driver::PowerOff();
}

void ThreadOfWriteUpdater(const UpdaterRequest& request) {
    platform::DebugOut("filename = %s \r\n", request.fileName.c_str());
    const auto resource = platform::FindResource(request.resourceId, request.resourceType);
    if (!resource)
        return;
    if (!platform::WriteWholeFile("\\NandFlash\\" + request.fileName, *resource, true))
        return;
    platform::DebugOut("Updata ok \r\n");
}

void ThreadFuncOfCheckCpuIdle() {
    platform::DebugOut("ThreadFuncOfCheckCpuIdle ---start\r\n");
    for (;;) {
        platform::GetMemoryStatus();
        platform::Sleep(5000);
        platform::GetLocalTime();
    }
}

void ThreadOfPowerKey(AppFrontend& frontend) {
    const auto event = platform::CreateNamedEvent(platform::kPowerKeyEvent, true, false);
    platform::DebugOut("Open ok , handle = %d \r\n",
                       static_cast<int>(reinterpret_cast<uintptr_t>(event.get()) & 0x7FFFFFFF));
    for (;;) {
        event->Reset();
        platform::DebugOut("waitforsingleobject -----\r\n");
        event->Wait();
        if (TestRunning || VflState != 0)
            continue;
        if (platform::MessageBox(ShutOffText, MessageTitle, platform::MB_YESNO | platform::MB_ICONQUESTION) ==
            platform::IDYES) {
            frontend.SendShowCloseBack();
            AfxCloseMachine();
        }
        platform::DebugOut("waitforsingleobject ok-----\r\n");
    }
}

void ThreadOfAutoClose(platform::MessageQueue& queue) {
    platform::DebugOut("ThreadOfAutoClose ---  ----------------------------------------------\r\n");
    int count = 0;
    for (;;) {
        // Each key press posts a reset: taken one a second, a burst would put the power-off back
        // and keep a quit, and the interface thread that waits for it, behind the whole queue.
        platform::ThreadMessage message;
        while (queue.Peek(message)) {
            if (message.message == WM_AUTOCLOSE_RESET)
                count = 0;
            else if (message.message == WM_AUTOCLOSE_QUIT)
                return;
        }
        if (TestRunning || VflState != 0)
            count = 0;
        if (count == kAutoCloseSeconds) {
            platform::DebugOut("afxclosemachine --- close count = %d \r\n", count);
            AfxCloseMachine();
        }
        platform::Sleep(1000);
        ++count;
    }
}

void ThreadOfVfl(platform::MessageQueue& queue) {
    const platform::DeviceHandle pof = driver::Open("POF1:");
    if (pof == platform::INVALID_HANDLE_VALUE)
        return;
    enum class Mode { Dark, Lit, Flashing } mode = Mode::Dark;
    bool lightOn = false;
    for (;;) {
        platform::ThreadMessage message;
        const bool got = queue.Peek(message);
        if (got) {
            switch (message.message) {
            case WM_VFL_ON:
                mode = Mode::Lit;
                break;
            case WM_VFL_OFF:
                mode = Mode::Dark;
                break;
            case WM_VFL_FLASH:
                mode = Mode::Flashing;
                break;
            case WM_VFL_QUIT:
                platform::CloseDevice(pof);
                return;
            default:
                break;
            }
        }
        if (mode == Mode::Flashing) {
            // One flash is the pause between polls; it ends dark, so quitting from it leaves the light off.
            driver::VflOn(pof);
            platform::Sleep(500);
            driver::VflOff(pof);
            platform::Sleep(500);
            lightOn = false;
            continue;
        }
        if (mode == Mode::Lit && !lightOn) {
            driver::VflOn(pof);
            lightOn = true;
        } else if (mode == Mode::Dark && lightOn) {
            driver::VflOff(pof);
            lightOn = false;
        }
        if (!got)
            platform::Sleep(1000);
    }
}
