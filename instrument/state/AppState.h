#pragma once
#include "platform/Time.h"

#include <atomic>
#include <memory>
#include <string>

// Process-wide state of the instrument program. The flags are each written by one side and read by
// others; atomics keep those reads well defined without locks.
extern int LanguageId;
extern std::atomic<int> AutoCloseOn;
extern float InvalidMeter;
extern int VersionNumber;
extern std::atomic<int> TestRunning;
extern std::atomic<int> VflState;
extern std::atomic<int> StopRealtimeRequest;
extern std::atomic<int> TraceLoaded;
// Never destroyed: the power-key and test threads are detached and may still read them while the
// process ends.
extern std::u16string& ShutOffText;
extern std::u16string& MessageTitle;
extern std::string& UDiskRoot;
// The keys typed on the time and power-off panel that belong to a service code or access word.
extern std::string TypedCode;
// 1 while every file of the copy screen's active list is selected.
extern int CopySelectAll;
// The time the test thread runs in; null is real time. Headless runs give it virtual time, so a
// simulated measurement takes no real time.
extern std::shared_ptr<platform::TimeSource> TestThreadTime;

// Nothing measured or opened yet.
void ResetTraceDisplayState();
