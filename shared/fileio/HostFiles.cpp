#include "shared/fileio/HostFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace fileio {
namespace {

// Short and fixed in length, so a target name up to the file system's limit still gets one.
constexpr char kTemporaryPrefix[] = ".lumetra-";
constexpr size_t kRandomChars = 6;

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

// Earlier versions named their temporary files after the target: ".NAME.XXXXXX" and ".NAME.part".
bool IsEarlierTemporary(const std::string& name, const std::set<std::string>& siblings) {
    if (name.size() < 3 || name[0] != '.')
        return false;
    const size_t dot = name.rfind('.');
    if (dot == 0)
        return false;
    const std::string suffix = name.substr(dot + 1);
    return (suffix == "part" || suffix.size() == kRandomChars) &&
           siblings.count(name.substr(1, dot - 1)) != 0;
}

} // namespace

std::FILE* OpenRegularFile(const fs::path& file, ReadResult* why) {
    ReadResult result = ReadResult::Ok;
    std::FILE* opened = nullptr;
    // Looked at before it is opened: opening a FIFO for reading blocks, opening a device may act.
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        result = errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::ReadError;
    } else if (!S_ISREG(info.st_mode)) {
        result = ReadResult::NotRegular;
    } else if (const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); fd < 0) {
        result = errno == ENOENT ? ReadResult::Missing : ReadResult::ReadError;
    } else if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        // The name was swapped for something else in between.
        ::close(fd);
        result = ReadResult::NotRegular;
    } else if (opened = ::fdopen(fd, "rb"); !opened) {
        ::close(fd);
        result = ReadResult::ReadError;
    }
    if (why)
        *why = result;
    return opened;
}

ReadResult ReadRegularFile(const fs::path& file, std::vector<uint8_t>& bytes, size_t maxBytes) {
    ReadResult result = ReadResult::Ok;
    std::FILE* in = OpenRegularFile(file, &result);
    if (!in)
        return result;
    std::vector<uint8_t> read;
    uint8_t chunk[65536];
    size_t n = 0;
    // Counted while reading: the file may grow after it was looked at.
    while (result == ReadResult::Ok && (n = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
        if (read.size() + n > maxBytes)
            result = ReadResult::TooLarge;
        else
            read.insert(read.end(), chunk, chunk + n);
    }
    if (result == ReadResult::Ok && std::ferror(in))
        result = ReadResult::ReadError;
    std::fclose(in);
    if (result == ReadResult::Ok)
        bytes = std::move(read);
    return result;
}

bool ReplaceFile(const fs::path& target, std::span<const uint8_t> bytes, const ReplaceOptions& options) {
    fs::path file = target;
    if (file.filename().empty() || !FollowLinks(file))
        return false;
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    struct stat existing {};
    mode_t mode = 0644;
    if (::stat(file.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode))
            return false;
        mode = existing.st_mode & 07777;
    } else if (errno != ENOENT) {
        return false;
    }
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return false;
    if (options.executable)
        mode |= S_IXUSR | ((mode & (S_IRGRP | S_IROTH)) >> 2);
    // mkstemp creates the name exclusively, so nothing planted there is ever opened.
    std::string temp = (folder / (std::string(kTemporaryPrefix) + std::string(kRandomChars, 'X'))).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes);
    ok = ::fchmod(fd, mode) == 0 && ok;
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok)
        ok = ::rename(temp.c_str(), file.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    return SyncDirectory(folder);
}

bool IsTemporaryName(const std::string& name) {
    const std::string prefix = kTemporaryPrefix;
    return name.size() == prefix.size() + kRandomChars && name.compare(0, prefix.size(), prefix) == 0;
}

int RemoveStaleTemporaries(const fs::path& folder, std::chrono::seconds minAge) {
    std::error_code error;
    std::set<std::string> names;
    for (fs::directory_iterator it(folder, error), last; !error && it != last; it.increment(error))
        names.insert(it->path().filename().string());
    const auto now = std::chrono::system_clock::now();
    int removed = 0;
    for (const std::string& name : names) {
        if (!IsTemporaryName(name) && !IsEarlierTemporary(name, names))
            continue;
        const fs::path path = folder / name;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        const auto written = std::chrono::system_clock::from_time_t(info.st_mtim.tv_sec);
        if (now - written >= minAge && ::unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

} // namespace fileio
