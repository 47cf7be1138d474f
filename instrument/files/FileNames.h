#pragma once
#include "platform/Clock.h"

#include <string>
#include <string_view>

// The names a technician gives trace files: the proposed one and the rules a typed one must keep.

// The time as twelve digits yyMMddhhmmss: the name the save screen proposes.
std::string DefaultFileName(const platform::LocalTime& time);

// The longest name, in characters, that the save screen takes.
constexpr size_t kLongestFileName = 64;

// Why a typed name is refused; the screen shows one text for all of them, the log the reason.
enum class FileNameError {
    None,
    Empty,
    TooLong,
    ControlCharacter,
    Separator,
    ParentFolder,
    DriveOrColon,
    ReservedCharacter,
    EdgeBlankOrDot,
};
const char* Describe(FileNameError error);

// 1 when the name (UTF-8, without ".st") can be a file in the chosen folder and nowhere else, 0 with the
// reason otherwise.
int CheckFileName(std::string_view name, FileNameError* error = nullptr);
