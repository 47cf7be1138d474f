#include "platform/Clock.h"

#include "platform/DevicePath.h"
#include "platform/ServiceSlot.h"
#include "shared/fileio/HostFiles.h"

#include <charconv>
#include <chrono>
#include <ctime>
#include <mutex>
#include <string>

namespace platform {
namespace {

std::shared_ptr<ClockBackend> CurrentBackend() {
    return ServiceSlot<ClockBackend>::Instance().Get();
}

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Host wall-clock milliseconds, counted as if local time were UTC, so adding an offset never meets DST.
int64_t HostWallMilliseconds() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const int64_t ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    return static_cast<int64_t>(timegm(&local)) * 1000 + ms;
}

int64_t ReadOffset() {
    constexpr size_t kMostBytes = 64; // a number and a line end
    std::vector<uint8_t> bytes;
    if (fileio::ReadRegularFile(VirtualClock::OffsetFile(), bytes, kMostBytes) != fileio::ReadResult::Ok)
        return 0;
    const char* text = reinterpret_cast<const char*>(bytes.data());
    int64_t offset = 0;
    if (std::from_chars(text, text + bytes.size(), offset).ec != std::errc())
        return 0;
    return offset;
}

} // namespace

bool IsValidLocalTime(const LocalTime& t) {
    return t.year >= 1601 && t.year <= 30827 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour < 24 && t.minute >= 0 &&
           t.minute < 60 && t.second >= 0 && t.second < 60 && t.milliseconds >= 0 && t.milliseconds < 1000;
}

std::filesystem::path VirtualClock::OffsetFile() {
    return DeviceRoot() / ".clock_offset_ms";
}

LocalTime VirtualClock::Get() {
    const int64_t wall = HostWallMilliseconds() + ReadOffset();
    const std::time_t seconds = static_cast<std::time_t>(wall / 1000);
    std::tm tm{};
    gmtime_r(&seconds, &tm);
    return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_wday, tm.tm_mday,
                     tm.tm_hour,        tm.tm_min,     tm.tm_sec,  static_cast<int>(wall % 1000)};
}

bool VirtualClock::Set(const LocalTime& t) {
    if (!IsValidLocalTime(t))
        return false;
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    const int64_t wanted = static_cast<int64_t>(timegm(&tm)) * 1000 + t.milliseconds;
    const std::filesystem::path file = OffsetFile();
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    const std::string text = std::to_string(wanted - HostWallMilliseconds()) + "\n";
    return fileio::ReplaceFile(file, {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

LocalTime GetLocalTime() {
    if (const auto current = CurrentBackend())
        return current->Get();
    return VirtualClock().Get();
}

bool SetLocalTime(const LocalTime& time) {
    if (const auto current = CurrentBackend())
        return current->Set(time);
    return VirtualClock().Set(time);
}

void SetClockBackend(std::shared_ptr<ClockBackend> newBackend) {
    ServiceSlot<ClockBackend>::Instance().Set(std::move(newBackend));
}

} // namespace platform
