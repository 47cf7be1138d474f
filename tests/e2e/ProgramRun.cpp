#include "tests/e2e/ProgramRun.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

ProgramRun RunProgram(const ProgramStart& start) {
    const std::string binary =
        start.program.starts_with('/') ? start.program : std::string(LUMETRA_BIN_DIR) + "/" + start.program;
    const std::filesystem::path errorsFile =
        start.workDir / (std::filesystem::path(start.program).filename().string() + ".stderr");

    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text(*entry);
        const size_t equals = text.find('=');
        if (equals != std::string::npos)
            variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : start.environment)
        variables[name] = value;
    std::vector<std::string> envText;
    for (const auto& [name, value] : variables)
        envText.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& text : envText)
        envp.push_back(text.data());
    envp.push_back(nullptr);
    std::vector<std::string> argText{binary};
    argText.insert(argText.end(), start.arguments.begin(), start.arguments.end());
    std::vector<char*> argv;
    for (std::string& text : argText)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errorsFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ProgramRun run;
    // The child inherits the limit; this process holds it only while it starts the child.
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    if (start.fileSizeLimit != 0) {
        rlimit limited = saved;
        limited.rlim_cur = start.fileSizeLimit;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    const int spawned = posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), envp.data());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return run;

    bool seen = start.waitFor.empty();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(start.timeoutMs);
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (!seen && ReadAll(errorsFile).find(start.waitFor) != std::string::npos) {
            seen = true;
            start.onSeen(pid);
        }
        if (std::chrono::steady_clock::now() > end) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            run.errors = ReadAll(errorsFile) + "\n[killed after time-out]";
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.errors = ReadAll(errorsFile);
    return run;
}

ProgramRun ProvisionRoot(const std::filesystem::path& root) {
    ProgramStart provision;
    provision.program = "otdrtool";
    provision.arguments = {"provision", root.string()};
    provision.workDir = root;
    return RunProgram(provision);
}

ProgramStart OtdrStart(const std::filesystem::path& folder, std::vector<std::string> arguments) {
    ProgramStart start;
    start.program = "OTDR";
    start.arguments = std::move(arguments);
    start.workDir = folder;
    start.environment["QT_QPA_PLATFORM"] = "offscreen";
    start.environment["XDG_CONFIG_HOME"] = (folder / "config").string();
    start.environment["XDG_RUNTIME_DIR"] = folder.string();
    start.environment["LUMETRA_DEBUG"] = "1";
    return start;
}
