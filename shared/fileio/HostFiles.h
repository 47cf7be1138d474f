#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

// Whole-file reads and writes on host paths that neither destroy nor hang: every program's writers and
// readers of traces, settings, scenarios, screenshots and copies go through here.
namespace fileio {

enum class ReadResult { Ok, Missing, NotRegular, TooLarge, ReadError };
const char* Describe(ReadResult result);

// Opens a regular file for reading ("rb"), or null with the reason. A FIFO, device or folder is refused
// without being opened for a blocking read; links are followed.
std::FILE* OpenRegularFile(const std::filesystem::path& file, ReadResult* why = nullptr);

// Reads all of a regular file of at most maxBytes. A FIFO, device or folder is refused without being
// opened for a blocking read; links are followed.
ReadResult ReadRegularFile(const std::filesystem::path& file, std::vector<uint8_t>& bytes, size_t maxBytes);

// Where a path leads: absolute, every link followed (a dangling one too, to where it points), no "." or
// "..", the part that does not exist yet kept as written. False for a loop of links, a link that cannot
// be read or a folder that cannot be searched.
bool ResolveLocation(const std::filesystem::path& path, std::filesystem::path& location);

struct ReplaceOptions {
    bool executable = false; // add execute where read is allowed
};

// Writes through a temporary file created exclusively in the target's folder and renames it over the
// target, so a failed write leaves the old file whole. A link at the target is followed and stays a
// link; anything that is not a regular file is never replaced. An existing file keeps its mode, a new one
// gets 0644. False also when only the flush of the folder after the rename failed: the new content is
// then in place but may not survive a power cut.
bool ReplaceFile(const std::filesystem::path& target, std::span<const uint8_t> bytes,
                 const ReplaceOptions& options = {});

// Whether a name is one of ReplaceFile's temporary files.
bool IsTemporaryName(const std::string& name);

// Removes the temporary files a killed writer left in a folder: ReplaceFile's, and the ".NAME.XXXXXX"
// and ".NAME.part" of earlier versions beside the regular file NAME they were replacing. Only regular
// files of this user older than minAge go (a writer of another program may be busy with a younger one).
// Returns how many went.
int RemoveStaleTemporaries(const std::filesystem::path& folder,
                           std::chrono::seconds minAge = std::chrono::seconds(60));

} // namespace fileio
