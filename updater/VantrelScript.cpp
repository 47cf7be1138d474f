#include "updater/VantrelScript.h"

#include "updater/CVantrelDlg.h"

#include "platform/qt/QtMessageBoxService.h"
#include "platform/qt/ScreenShot.h"

#include <QTimer>
#include <cstdio>

bool VantrelScript::Load(const std::string& path, std::string& error) {
    std::string text;
    if (!ReadScriptFile(path, text, error))
        return false;
    ScriptError bad;
    if (!ParseScript(text, commands_, bad)) {
        error = path + ":" + std::to_string(bad.line) + ": " + bad.message;
        return false;
    }
    for (const ScriptCommand& command : commands_) {
        if (command.verb != ScriptVerb::Answer && command.verb != ScriptVerb::Wait &&
            command.verb != ScriptVerb::Shot) {
            error = path + ":" + std::to_string(command.line) +
                    ": Vantrel takes answer, wait and shot, not '" + command.words[0] + "'";
            return false;
        }
    }
    return true;
}

void VantrelScript::Start() {
    boxes_.WatchUnanswered(kUnansweredBoxMs, [this](const std::u16string& text) {
        Fail(UnansweredBoxError(text), kUnansweredBoxExitCode);
    });
    QTimer::singleShot(0, this, [this] { RunNext(); });
}

void VantrelScript::RunNext() {
    if (failed_)
        return;
    if (next_ >= commands_.size()) {
        // What the updater shows from now on is the user's to answer.
        boxes_.WatchUnanswered(0, {});
        return;
    }
    const ScriptCommand& command = commands_[next_++];
    line_ = command.line;
    int delayMs = 0;
    if (command.verb == ScriptVerb::Answer) {
        boxes_.Answer(AnswerResult(command.words[1]));
    } else if (command.verb == ScriptVerb::Wait) {
        delayMs = std::stoi(command.words[1]);
    } else if (!platform::SaveScreenShot(dialog_, command.words[1])) {
        Fail("cannot write " + command.words[1], kScriptFailedExitCode);
        return;
    }
    QTimer::singleShot(delayMs, this, [this] { RunNext(); });
}

void VantrelScript::Fail(const std::string& error, int exitCode) {
    if (failed_)
        return;
    failed_ = true;
    const std::string where = line_ > 0 ? "line " + std::to_string(line_) : "start-up";
    std::fprintf(stderr, "script: %s: %s\n", where.c_str(), error.c_str());
    std::fflush(stderr);
    boxes_.WatchUnanswered(0, {});
    // The worker sees the stop before the box it waits in closes.
    dialog_.Abandon(exitCode);
    boxes_.CloseAll();
}
