#include "platform/Files.h"

#include "platform/DevicePath.h"

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

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// The file a chain of links ends at, which need not exist yet; false for a loop or an unreadable link.
// Replacing the link itself would leave its target with the old content.
bool FollowLinks(fs::path& path) {
    constexpr int kMaxLinks = 40; // as the kernel's own limit
    for (int hops = 0;; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0)
            return errno == ENOENT;
        if (!S_ISLNK(info.st_mode))
            return true;
        if (hops == kMaxLinks)
            return false;
        std::error_code error;
        const fs::path next = fs::read_symlink(path, error);
        if (error)
            return false;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
}

// A rename is only durable once the folder holding the new entry is flushed.
bool SyncDirectory(const fs::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Some file systems cannot flush a folder and say so; their renames are as durable as they get.
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
    return ::close(fd) == 0 && ok;
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
    std::FILE* file = std::fopen(HostPath(path).c_str(), "rb");
    if (!file)
        return false;
    bytes.clear();
    uint8_t chunk[65536];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

bool WriteWholeFile(std::string_view path, std::span<const uint8_t> bytes, bool executable) {
    fs::path target = HostPath(path);
    if (!FollowLinks(target))
        return false;
    const fs::path folder = target.parent_path();
    struct stat existing {};
    mode_t mode = 0644;
    if (::stat(target.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode))
            return false;
        mode = existing.st_mode & 07777;
    } else if (errno != ENOENT) {
        return false;
    }
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return false;
    if (executable)
        mode |= S_IXUSR | ((mode & (S_IRGRP | S_IROTH)) >> 2);
    std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes);
    ok = ::fchmod(fd, mode) == 0 && ok;
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok)
        ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    return SyncDirectory(folder);
}

} // namespace platform
