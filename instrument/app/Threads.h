#pragma once
#include "platform/Sync.h"

#include <string>

class AppFrontend;

// Switches the instrument off through "POF1:"; 1 on success, 0 otherwise.
int AfxCloseMachine();

struct UpdaterRequest {
    int resourceId;
    std::string resourceType;
    std::string fileName;
};

// Writes the program's embedded resource to "\NandFlash\" + file name.
void ThreadOfWriteUpdater(const UpdaterRequest& request);
// Samples memory and clock every five seconds, for ever.
[[noreturn]] void ThreadFuncOfCheckCpuIdle();
// Waits on "otdrPowerOff" for ever and asks whether to switch off.
[[noreturn]] void ThreadOfPowerKey(AppFrontend& frontend);
// Switches off after 600 idle seconds; takes every pending message each second and ends in the
// pass that finds WM_AUTOCLOSE_QUIT, however many resets are queued before it.
void ThreadOfAutoClose(platform::MessageQueue& queue);
// Drives the fault-locator light; ends on WM_VFL_QUIT.
void ThreadOfVfl(platform::MessageQueue& queue);

constexpr int kAutoCloseSeconds = 600;
