#include "instrument/state/AppState.h"

int LanguageId = 0;
std::atomic<int> AutoCloseOn{1};
float InvalidMeter = 0.0f;
int VersionNumber = 1;
std::atomic<int> TestRunning{0};
std::atomic<int> VflState{0};
std::atomic<int> StopRealtimeRequest{0};
std::atomic<int> TraceLoaded{0};
std::u16string& ShutOffText = *new std::u16string;
std::u16string& MessageTitle = *new std::u16string;
std::string& UDiskRoot = *new std::string;
std::string TypedCode;
int CopySelectAll = 0;
std::shared_ptr<platform::TimeSource> TestThreadTime;

void ResetTraceDisplayState() {
    TraceLoaded = 0;
}
