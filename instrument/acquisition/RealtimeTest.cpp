#include "instrument/acquisition/RealtimeTest.h"

#include "platform/DebugOut.h"
#include "platform/Time.h"

void RealtimeTest::Run(int) {
    ClearSums();
    const auto stopRequested = [&] {
        if (context_.stopRealtimeRequest == 0)
            return false;
        context_.stopRealtimeRequest = 0;
        return true;
    };
    if (stopRequested())
        return;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        Arm(n_);
        Flush();
        const uint32_t start = platform::GetTickCount();
        const int groups = GroupsPerRound();
        for (int k = 0; k < groups; ++k)
            ShotGroup();
        Read();
        PostProcess(cycle + 1, context_.versionNumber, true);
        platform::Sleep(kPauseMs);
        platform::DebugOut("time = %d \r\n", static_cast<int>(platform::GetTickCount() - start));
        if (stopRequested())
            return;
    }
}
