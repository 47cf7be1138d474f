#include "platform/TouchCalibration.h"

#include "platform/DebugOut.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {
namespace {

std::string FindInPath(std::string_view program) {
    const char* path = std::getenv("PATH");
    std::string_view folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!folders.empty()) {
        const size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        folders = colon == std::string_view::npos ? std::string_view{} : folders.substr(colon + 1);
        if (folder.empty())
            continue;
        const std::string candidate = std::string(folder) + "/" + std::string(program);
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

} // namespace

std::string TouchCalibrationCommand() {
    if (const char* configured = std::getenv("LUMETRA_CALIBRATE"))
        return configured;
    const char* device = std::getenv("TSLIB_TSDEVICE");
    std::error_code error;
    if (!device || !*device || !std::filesystem::exists(device, error))
        return {};
    return FindInPath("ts_calibrate");
}

CalibrationResult CalibrateTouchScreen() {
    const std::string command = TouchCalibrationCommand();
    if (command.empty())
        return CalibrationResult::NoTouchScreen;
    DebugOut("touch calibration: %s\r\n", command.c_str());
    const pid_t child = ::fork();
    if (child < 0)
        return CalibrationResult::Failed;
    if (child == 0) {
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            return CalibrationResult::Failed;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? CalibrationResult::Done
                                                         : CalibrationResult::Failed;
}

} // namespace platform
