#pragma once
#include "platform/Clock.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct FindData {
    std::string name; // as stored, UTF-8
    bool isDirectory = false;
    uint64_t size = 0;
    LocalTime lastWrite;
};

// Lists the entries of a folder whose names match the last component of the pattern ('*' and '?',
// letter case ignored), as FindFirstFile does: "\Hard Disk\OTDRDATA\*.st", or "\Hard Disk" for the
// folder itself. Entries come sorted by name.
std::vector<FindData> FindFiles(std::string_view pattern);
bool WildcardMatch(std::string_view pattern, std::string_view name);

bool PathExists(std::string_view path);
bool IsDirectory(std::string_view path);
// Fails when the folder exists already or its parent does not.
bool CreateDirectory(std::string_view path);
bool DeleteFile(std::string_view path);
bool CopyFile(std::string_view source, std::string_view target, bool failIfExists);
bool GetLastWriteTime(std::string_view path, LocalTime& time);

bool ReadWholeFile(std::string_view path, std::vector<uint8_t>& bytes);
// Writes through a temporary file beside the target and renames it over the target, so a failed write
// leaves the old file whole. A link is followed and stays a link. An existing file keeps its mode, a new
// one gets 0644; `executable` adds execute where read is allowed. False also when only the flush of the
// folder after the rename failed: the new content is then in place but may not survive a power cut.
bool WriteWholeFile(std::string_view path, std::span<const uint8_t> bytes, bool executable = false);

} // namespace platform
