#include "platform/Files.h"

#include "platform/DevicePath.h"
#include "shared/fileio/HostFiles.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {
namespace {

LocalTime ToLocalTime(const struct timespec& when) {
    std::tm tm{};
    const std::time_t seconds = when.tv_sec;
    localtime_r(&seconds, &tm);
    return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_wday, tm.tm_mday,
                     tm.tm_hour,        tm.tm_min,     tm.tm_sec,  static_cast<int>(when.tv_nsec / 1000000)};
}

char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<FindData> FindFiles(std::string_view pattern) {
    std::vector<FindData> found;
    const size_t cut = pattern.find_last_of("\\/");
    const std::string_view folder =
        cut == std::string_view::npos ? std::string_view() : pattern.substr(0, cut);
    const std::string_view mask = cut == std::string_view::npos ? pattern : pattern.substr(cut + 1);
    fs::path dir;
    if (mask.empty() || !ResolveInRoot(folder, dir))
        return found;
    std::error_code error;
    for (fs::directory_iterator it(dir, error), last; !error && it != last; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.' || !WildcardMatch(mask, name))
            continue;
        // A link out of the device shows nothing of what lies there, not even its size.
        fs::path location;
        std::error_code linkError;
        if (it->is_symlink(linkError) && !ResolveInRoot(std::string(folder) + "\\" + name, location))
            continue;
        struct stat info {};
        if (::stat(it->path().c_str(), &info) != 0)
            continue;
        found.push_back(FindData{name, S_ISDIR(info.st_mode), static_cast<uint64_t>(info.st_size),
                                 ToLocalTime(info.st_mtim)});
    }
    std::sort(found.begin(), found.end(),
              [](const FindData& a, const FindData& b) { return a.name < b.name; });
    return found;
}

bool PathExists(std::string_view path) {
    fs::path location;
    std::error_code error;
    return ResolveInRoot(path, location) && fs::exists(location, error);
}

bool IsDirectory(std::string_view path) {
    fs::path location;
    std::error_code error;
    return ResolveInRoot(path, location) && fs::is_directory(location, error);
}

bool CreateDirectory(std::string_view path) {
    fs::path target;
    std::error_code error;
    if (!ResolveInRoot(path, target) || fs::exists(target, error) ||
        !fs::is_directory(target.parent_path(), error))
        return false;
    return fs::create_directory(target, error);
}

bool DeleteFile(std::string_view path) {
    fs::path location;
    std::error_code error;
    if (!ResolveInRoot(path, location) || !fs::is_regular_file(location, error))
        return false;
    // The name goes, as on the instrument: a link, not the file it leads to.
    return fs::remove(HostPath(path), error);
}

bool CopyFile(std::string_view source, std::string_view target, bool failIfExists) {
    fs::path from, to;
    std::error_code error;
    if (!ResolveInRoot(source, from) || !ResolveInRoot(target, to) || fs::is_directory(to, error) ||
        (failIfExists && fs::exists(to, error)))
        return false;
    std::vector<uint8_t> bytes;
    struct stat info {};
    if (fileio::ReadRegularFile(from, bytes, kLargestFileBytes) != fileio::ReadResult::Ok ||
        ::stat(from.c_str(), &info) != 0)
        return false;
    return fileio::ReplaceFile(to, bytes, {.executable = (info.st_mode & S_IXUSR) != 0});
}

bool GetLastWriteTime(std::string_view path, LocalTime& time) {
    fs::path location;
    struct stat info {};
    if (!ResolveInRoot(path, location) || ::stat(location.c_str(), &info) != 0)
        return false;
    time = ToLocalTime(info.st_mtim);
    return true;
}

bool ReadWholeFile(std::string_view path, std::vector<uint8_t>& bytes) {
    fs::path location;
    return ResolveInRoot(path, location) &&
           fileio::ReadRegularFile(location, bytes, kLargestFileBytes) == fileio::ReadResult::Ok;
}

bool WriteWholeFile(std::string_view path, std::span<const uint8_t> bytes, bool executable) {
    fs::path location;
    return ResolveInRoot(path, location) && fileio::ReplaceFile(location, bytes, {.executable = executable});
}

int RemoveStaleTemporaryFiles() {
    int removed = 0;
    for (const std::string& folder :
         {std::string("\\"), std::string("\\NandFlash"), UsbDiskRoot() + "\\OTDRDATA"})
        if (fs::path location; ResolveInRoot(folder, location))
            removed += fileio::RemoveStaleTemporaries(location);
    return removed;
}

} // namespace platform
