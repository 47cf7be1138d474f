#include "platform/SystemStatus.h"

#include <sys/sysinfo.h>

namespace platform {

MemoryStatus GetMemoryStatus() {
    MemoryStatus status;
    struct sysinfo info {};
    if (::sysinfo(&info) != 0)
        return status;
    status.totalPhysical = uint64_t{info.totalram} * info.mem_unit;
    status.availablePhysical = uint64_t{info.freeram} * info.mem_unit;
    if (status.totalPhysical > 0)
        status.memoryLoad =
            static_cast<uint32_t>(100 - status.availablePhysical * 100 / status.totalPhysical);
    return status;
}

// Linux front ends run the instrument program as the only full-screen client: no task bar exists.
bool HideTaskBar() {
    return false;
}

} // namespace platform
