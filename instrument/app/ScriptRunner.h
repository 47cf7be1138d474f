#pragma once
#include "instrument/app/ScriptParser.h"

#include <QObject>
#include <QString>
#include <string>
#include <vector>

class QWindow;
class QtFrontend;
namespace platform {
class QtMessageBoxService;
}

// Drives the program from a script of keys, taps, waits and screenshots, one command a line, for
// end-to-end tests, demos and support. The whole script is checked before the program starts; a
// command that fails is reported on standard error and ends the program with kScriptFailedExitCode.
class ScriptRunner : public QObject {
public:
    ScriptRunner(QtFrontend& frontend, platform::QtMessageBoxService& boxes)
        : frontend_(frontend), boxes_(boxes) {}

    // Reads and checks the script; on a bad line, error names it and false comes back.
    bool Load(const QString& path, std::string& error);
    // Before the program's start-up: queues the answers of the script's leading `answer` lines for the
    // boxes that start-up may show, and from now on lets no box stay open that no answer covers.
    void Begin();
    // Once the main window exists: runs the rest.
    void Start();

    static constexpr int kScriptFailedExitCode = 2;
    // A message box stayed open kUnansweredBoxMs of real time with no answer for it.
    static constexpr int kUnansweredBoxExitCode = 3;
    static constexpr int kUnansweredBoxMs = 5000;

private:
    void RunNext();
    // An error text, empty when the command did its work. `continued` comes back true when the script
    // goes on without the caller: after a wait, or from a message box the command opened.
    std::string Run(const ScriptCommand& command, bool& continued);
    void Fail(const std::string& where, const std::string& error, int exitCode);
    // Ends the run: no command after this one, no box left open, the main window closed with exitCode.
    void End(int exitCode);
    // The window a key goes to: the open message box's, else the main window's.
    QWindow* KeyWindow() const;
    void SendKey(uint32_t vk, bool down, bool repeat);
    // Each character a key press and release into the focused control, as the keypad and the
    // on-screen keyboard give them.
    void TypeText(const QString& text);
    void WaitIdle(int stableRounds);
    void WaitTest();

    std::string RunKey(const ScriptCommand& command);
    std::string RunHold(const ScriptCommand& command);
    std::string RunTap(const ScriptCommand& command);
    std::string RunShot(const ScriptCommand& command);
    std::string RunLoad(const ScriptCommand& command);
    std::string RunSave(const ScriptCommand& command);
    // The status text, the trace's length, the range and the event list's rows, for checks from outside.
    std::string RunDump(const ScriptCommand& command);
    std::string RunUsb(const ScriptCommand& command);
    void RunAnswer(const ScriptCommand& command);

    QtFrontend& frontend_;
    platform::QtMessageBoxService& boxes_;
    std::vector<ScriptCommand> commands_;
    size_t next_ = 0;
    // The line of the command run last, 0 before the first.
    int line_ = 0;
    // Set once the run is to end; the main window takes it as soon as it exists.
    int exitCode_ = -1;
    // The running command's `continued`, while it runs.
    bool* continued_ = nullptr;
};
