#pragma once
#include "platform/Clock.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Every operation takes a device path and refuses one that a link leads out of the device root
// (platform::ResolveInRoot): false, or nothing found.

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

// The most a whole-file read takes: more than any file the instrument keeps (the updater is the largest).
constexpr size_t kLargestFileBytes = 256u << 20;

// Reads a regular file; a FIFO, device or folder is refused without blocking, as is a larger file.
bool ReadWholeFile(std::string_view path, std::vector<uint8_t>& bytes);
// fileio::ReplaceFile on the device path: a failed write leaves the old file whole, nothing but a
// regular file is replaced, a link is followed and stays a link, the mode is kept; `executable` adds
// execute where read is allowed.
bool WriteWholeFile(std::string_view path, std::span<const uint8_t> bytes, bool executable = false);

// Removes what killed writers left in the folders the instrument writes (the root, "\NandFlash" and the
// USB disk's "OTDRDATA"), as fileio::RemoveStaleTemporaries does; returns how many files went.
int RemoveStaleTemporaryFiles();

} // namespace platform
