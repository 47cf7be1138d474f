#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>

namespace platform {

// Local wall-clock time, field by field as the instrument's system keeps it.
struct LocalTime {
    int year = 0;
    int month = 0;     // 1..12
    int dayOfWeek = 0; // 0 = Sunday; computed on read, ignored on write
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;
};

bool IsValidLocalTime(const LocalTime& time);

class ClockBackend {
public:
    virtual ~ClockBackend() = default;
    virtual LocalTime Get() = 0;
    virtual bool Set(const LocalTime& time) = 0;
};

// Host time plus an offset that lives in the device root, so setting the time never touches the host.
class VirtualClock : public ClockBackend {
public:
    LocalTime Get() override;
    bool Set(const LocalTime& time) override;
    static std::filesystem::path OffsetFile();
};

LocalTime GetLocalTime();
// Refuses invalid dates (February 31, month 13, ...) as an operating system does.
bool SetLocalTime(const LocalTime& time);
// A null backend restores the virtual clock.
void SetClockBackend(std::shared_ptr<ClockBackend> backend);

} // namespace platform
