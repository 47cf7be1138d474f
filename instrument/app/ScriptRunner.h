#pragma once
#include <QObject>
#include <QString>
#include <string>
#include <vector>

class QtFrontend;
namespace platform {
class QtMessageBoxService;
}

// Drives the program from a script of keys, taps, waits and screenshots, one command a line, for
// end-to-end tests, demos and support. The whole script is checked before the first command runs; a
// command that fails is reported on standard error and ends the program with kScriptFailedExitCode.
class ScriptRunner : public QObject {
public:
    struct Command {
        int line;
        std::vector<std::string> words;
    };

    ScriptRunner(QtFrontend& frontend, platform::QtMessageBoxService& boxes)
        : frontend_(frontend), boxes_(boxes) {}

    // Reads and checks the script; on a bad line, error names it and false comes back.
    bool Load(const QString& path, std::string& error);
    // Checks one command's words; empty when the command is valid.
    static std::string Check(const std::vector<std::string>& words);
    void Start();

    static constexpr int kScriptFailedExitCode = 2;

private:
    struct Verb;
    static const std::vector<Verb>& Verbs();
    static const Verb* Find(const std::string& name);

    void RunNext();
    void Stop(const Command& command, const std::string& error);
    void SendKey(uint32_t vk, bool down, bool repeat);
    void WaitIdle(int stableRounds);
    void WaitTest();

    std::string RunKey(const Command& command);
    std::string RunHold(const Command& command);
    std::string RunTap(const Command& command);
    std::string RunWait(const Command& command);
    std::string RunWaitIdle(const Command& command);
    std::string RunWaitTest(const Command& command);
    std::string RunShot(const Command& command);
    std::string RunLoad(const Command& command);
    std::string RunSave(const Command& command);
    // The status text, the trace's length, the range and the event list's rows, for checks from outside.
    std::string RunDump(const Command& command);
    std::string RunPower(const Command& command);
    std::string RunUsb(const Command& command);
    std::string RunAnswer(const Command& command);
    std::string RunBattery(const Command& command);
    std::string RunQuit(const Command& command);

    QtFrontend& frontend_;
    platform::QtMessageBoxService& boxes_;
    std::vector<Command> commands_;
    size_t next_ = 0;
};
