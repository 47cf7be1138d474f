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
    if (mask.empty())
        return found;
    const fs::path dir = HostPath(folder);
    std::error_code error;
    for (fs::directory_iterator it(dir, error), last; !error && it != last; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.' || !WildcardMatch(mask, name))
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
    std::error_code error;
    return fs::exists(HostPath(path), error);
}

bool IsDirectory(std::string_view path) {
    std::error_code error;
    return fs::is_directory(HostPath(path), error);
}

bool CreateDirectory(std::string_view path) {
    std::error_code error;
    const fs::path target = HostPath(path);
    if (fs::exists(target, error) || !fs::is_directory(target.parent_path(), error))
        return false;
    return fs::create_directory(target, error);
}

bool DeleteFile(std::string_view path) {
    std::error_code error;
    const fs::path target = HostPath(path);
    if (!fs::is_regular_file(target, error))
        return false;
    return fs::remove(target, error);
}

bool CopyFile(std::string_view source, std::string_view target, bool failIfExists) {
    std::vector<uint8_t> bytes;
    if (!IsDirectory(source) && !ReadWholeFile(source, bytes))
        return false;
    if (IsDirectory(source) || IsDirectory(target) || (failIfExists && PathExists(target)))
        return false;
    struct stat info {};
    const bool executable = ::stat(HostPath(source).c_str(), &info) == 0 && (info.st_mode & S_IXUSR);
    return WriteWholeFile(target, bytes, executable);
}

bool GetLastWriteTime(std::string_view path, LocalTime& time) {
    struct stat info {};
    if (::stat(HostPath(path).c_str(), &info) != 0)
        return false;
    time = ToLocalTime(info.st_mtim);
    return true;
}

bool ReadWholeFile(std::string_view path, std::vector<uint8_t>& bytes) {
    return fileio::ReadRegularFile(HostPath(path), bytes, kLargestFileBytes) == fileio::ReadResult::Ok;
}

bool WriteWholeFile(std::string_view path, std::span<const uint8_t> bytes, bool executable) {
    return fileio::ReplaceFile(HostPath(path), bytes, {.executable = executable});
}

} // namespace platform
