#pragma once
#include <cstdint>

namespace platform {

struct MemoryStatus {
    uint32_t memoryLoad = 0; // percent in use
    uint64_t totalPhysical = 0;
    uint64_t availablePhysical = 0;
};

MemoryStatus GetMemoryStatus();

// Hides the platform's task bar so a program owns the whole screen; false when there is none.
bool HideTaskBar();

} // namespace platform
