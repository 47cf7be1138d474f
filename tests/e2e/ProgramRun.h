#pragma once
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <sys/resource.h>
#include <vector>

// One run of a built program with its own environment and its standard error kept in a file.
struct ProgramRun {
    int exitCode = -1;
    std::string errors;
};

struct ProgramStart {
    std::string program; // name in the build's bin folder, or an absolute path
    std::vector<std::string> arguments;
    std::map<std::string, std::string> environment;
    std::filesystem::path workDir;
    int timeoutMs = 60000;
    // RLIMIT_FSIZE of the program when not 0: no file it writes grows past this.
    rlim_t fileSizeLimit = 0;
    // Called with the process id once the errors so far contain `waitFor`.
    std::string waitFor;
    std::function<void(int pid)> onSeen;
};

ProgramRun RunProgram(const ProgramStart& start);

// otdrtool provision on a device root, as run.sh does it.
ProgramRun ProvisionRoot(const std::filesystem::path& root);

// OTDR offscreen, with its settings and single-instance lock in a folder of the test's own and its debug
// lines (which name a refused start) on standard error.
ProgramStart OtdrStart(const std::filesystem::path& folder, std::vector<std::string> arguments);
