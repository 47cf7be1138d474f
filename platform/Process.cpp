#include "platform/Process.h"

#include "platform/DevicePath.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

bool StartProgram(std::string_view devicePath) {
    // Only a program inside the device root: a link on the flash disk must not start the host's.
    std::filesystem::path location;
    if (!ResolveInRoot(devicePath, location))
        return false;
    const std::string program = location.string();
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return false;
    // Fork twice so the started program is nobody's child to wait for; the grandchild reports a failed
    // exec through the pipe, which a successful exec closes unwritten.
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        ::close(report[0]);
        if (::fork() != 0)
            ::_exit(0);
        ::setsid();
        char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
        ::execv(program.c_str(), argv);
        const int error = errno;
        [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got = 0;
    while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    return got == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace platform
