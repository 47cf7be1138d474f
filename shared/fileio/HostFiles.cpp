#include "shared/fileio/HostFiles.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
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

// A rename is only durable once the folder holding the new entry is flushed.
bool SyncDirectory(const fs::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Some file systems cannot flush a folder and say so; their renames are as durable as they get.
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
    return ::close(fd) == 0 && ok;
}

// What mkstemp puts in place of its X's.
bool IsRandomPart(const std::string& text) {
    return text.size() == kRandomChars && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

// Earlier versions named their temporary files after the target: ".NAME.XXXXXX" and ".NAME.part".
// Only beside the regular file they were replacing: without it the name is as likely someone's own.
bool IsEarlierTemporary(const fs::path& folder, const std::string& name) {
    const size_t dot = name.rfind('.');
    if (name.size() < 3 || name[0] != '.' || dot == 0 || dot + 1 == name.size())
        return false;
    const std::string suffix = name.substr(dot + 1);
    if (suffix != "part" && !IsRandomPart(suffix))
        return false;
    struct stat sibling {};
    return ::stat((folder / name.substr(1, dot - 1)).c_str(), &sibling) == 0 && S_ISREG(sibling.st_mode);
}

} // namespace

const char* Describe(ReadResult result) {
    switch (result) {
    case ReadResult::Ok:
        return "read";
    case ReadResult::Missing:
        return "no such file";
    case ReadResult::NotRegular:
        return "not a regular file (a folder, FIFO or device)";
    case ReadResult::TooLarge:
        return "too large";
    case ReadResult::ReadError:
        return "cannot be read";
    }
    return "cannot be read";
}

std::FILE* OpenRegularFile(const fs::path& file, ReadResult* why) {
    ReadResult result = ReadResult::Ok;
    std::FILE* opened = nullptr;
    // Looked at before it is opened: opening a FIFO for reading blocks, opening a device may act.
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        result = errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::ReadError;
    } else if (!S_ISREG(info.st_mode)) {
        result = ReadResult::NotRegular;
    } else if (const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC); fd < 0) {
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

bool ResolveLocation(const fs::path& path, fs::path& location) {
    constexpr int kMaxLinks = 40; // as the kernel's own limit
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    if (error)
        return false;
    // The components still to walk, the next one last; a link puts its own in front of the rest.
    std::vector<fs::path> pending;
    const auto push = [&pending](const fs::path& relative) {
        const size_t at = pending.size();
        pending.insert(pending.end(), relative.begin(), relative.end());
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(at), pending.end());
    };
    push(absolute.relative_path());
    // Always a folder without links above it, so ".." is its parent on the disk too.
    fs::path current = absolute.root_path();
    int links = 0;
    while (!pending.empty()) {
        const fs::path part = std::move(pending.back());
        pending.pop_back();
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            current = current.parent_path();
            continue;
        }
        fs::path next = current / part;
        struct stat info {};
        if (::lstat(next.c_str(), &info) != 0) {
            if (errno != ENOENT && errno != ENOTDIR)
                return false;
        } else if (S_ISLNK(info.st_mode)) {
            const fs::path target = fs::read_symlink(next, error);
            if (error || ++links > kMaxLinks)
                return false;
            if (target.is_absolute())
                current = target.root_path();
            push(target.relative_path());
            continue;
        }
        current = std::move(next);
    }
    location = std::move(current);
    return true;
}

bool ReplaceFile(const fs::path& target, std::span<const uint8_t> bytes, const ReplaceOptions& options) {
    // Replacing a link itself would leave its target with the old content.
    fs::path file;
    if (!ResolveLocation(target, file) || file.filename().empty())
        return false;
    const fs::path folder = file.parent_path();
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
    // A file system without modes (the USB disk's FAT) refuses them; its files are all alike anyway.
    ok = (::fchmod(fd, mode) == 0 || errno == EPERM || errno == ENOTSUP) && ok;
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
    return name.size() == prefix.size() + kRandomChars && name.compare(0, prefix.size(), prefix) == 0 &&
           IsRandomPart(name.substr(prefix.size()));
}

int RemoveStaleTemporaries(const fs::path& folder, std::chrono::seconds minAge) {
    std::error_code error;
    std::vector<std::string> names;
    for (fs::directory_iterator it(folder, error), last; !error && it != last; it.increment(error))
        names.push_back(it->path().filename().string());
    const auto now = std::chrono::system_clock::now();
    int removed = 0;
    for (const std::string& name : names) {
        if (!IsTemporaryName(name) && !IsEarlierTemporary(folder, name))
            continue;
        const fs::path path = folder / name;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
            continue;
        const auto written = std::chrono::system_clock::from_time_t(info.st_mtim.tv_sec);
        if (now - written >= minAge && ::unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

} // namespace fileio
