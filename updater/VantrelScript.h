#pragma once
#include "instrument/app/ScriptParser.h"

#include <QObject>
#include <string>
#include <vector>

class CVantrelDlg;
namespace platform {
class QtMessageBoxService;
}

// Answers Vantrel's boxes from a script in Lumetra's script language, of which it takes `answer`,
// `wait` and `shot`; the updater, started without arguments, finds the file in VANTREL_SCRIPT.
class VantrelScript : public QObject {
public:
    VantrelScript(CVantrelDlg& dialog, platform::QtMessageBoxService& boxes)
        : dialog_(dialog), boxes_(boxes) {}

    // Reads and checks the whole script; on a bad line, error names it and false comes back.
    bool Load(const std::string& path, std::string& error);
    // Runs it from the event loop; from now on no box stays open that no answer covers.
    void Start();

    static constexpr int kScriptFailedExitCode = 2;
    static constexpr int kUnansweredBoxExitCode = 3;
    static constexpr int kUnansweredBoxMs = 5000;

private:
    void RunNext();
    void Fail(const std::string& error, int exitCode);

    CVantrelDlg& dialog_;
    platform::QtMessageBoxService& boxes_;
    std::vector<ScriptCommand> commands_;
    size_t next_ = 0;
    int line_ = 0;
    bool failed_ = false;
};
