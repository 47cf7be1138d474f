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
// end-to-end tests, demos and support. The whole script is checked before the first command runs.
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

private:
    void RunNext();
    void Run(const Command& command);
    void SendKey(uint32_t vk, bool down, bool repeat);
    void Shot(const std::string& file);
    void WaitIdle(int stableRounds);
    void WaitTest();
    // The status text, the trace's length, the range and the event list's rows, for checks from outside.
    void Dump(const std::string& path, int line);

    QtFrontend& frontend_;
    platform::QtMessageBoxService& boxes_;
    std::vector<Command> commands_;
    size_t next_ = 0;
};
