#include "pc/system/SingleInstance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

std::string SingleInstance::LockPath(std::string_view name) {
    std::string dir;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat info {};
    // A runtime folder that is set but gone (a stale session variable) must not make every start fail.
    if (runtime && runtime[0] == '/' && ::stat(runtime, &info) == 0 && S_ISDIR(info.st_mode))
        dir = runtime;
    else
        dir = "/tmp";
    std::string file;
    for (char c : name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '.' || c == '_' || c == '-';
        file += plain ? c : '_';
    }
    return dir + "/" + file + "." + std::to_string(::getuid()) + ".lock";
}

SingleInstance::SingleInstance(std::string_view name) {
    const std::string path = LockPath(name);
    // O_NOFOLLOW: in a shared /tmp another user's link must not make us create or lock a file of theirs.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        m_bOtherRunning = errno == EWOULDBLOCK;
        ::close(fd);
        return;
    }
    m_iFd = fd;
}

SingleInstance::~SingleInstance() {
    // The file stays: removing it would let a starting process lock a fresh file while a third still
    // holds the old, unlinked one.
    if (m_iFd >= 0)
        ::close(m_iFd);
}
