#include "instrument/app/ScriptRunner.h"

#include "instrument/acquisition/TestParameters.h"
#include "instrument/acquisition/TraceData.h"
#include "instrument/app/CBody.h"
#include "instrument/app/CLumetraDlg.h"
#include "instrument/app/CNav1Dlg.h"
#include "instrument/app/CTimeAndPower.h"
#include "instrument/app/QtFrontend.h"
#include "instrument/display/ui/CDataLine.h"
#include "instrument/events/ui/CEventLstBody.h"
#include "instrument/state/AppState.h"
#include "instrument/state/WindowMessages.h"

#include "platform/DevicePath.h"
#include "platform/PowerKey.h"
#include "platform/VirtualKeys.h"
#include "platform/qt/KeyMap.h"
#include "platform/qt/QtMessageBoxService.h"
#include "platform/qt/ScreenShot.h"

#include "shared/fileio/HostFiles.h"
#include "shared/tracefile/TraceFile.h"
#include "simboard/SimBoard.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextStream>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <filesystem>
#include <span>

namespace {

// The USB disk keeps its files while unplugged, in a hidden folder beside the device root's others.
std::string UnpluggedName(const std::string& disk) {
    return "." + disk + ".unplugged";
}

bool WriteHostFile(const std::string& path, const QByteArray& bytes) {
    return fileio::ReplaceFile(path, std::span(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                               static_cast<size_t>(bytes.size())));
}

} // namespace

bool ScriptRunner::Load(const QString& path, std::string& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot read " + path.toStdString();
        return false;
    }
    const QByteArray text = file.readAll();
    ScriptError bad;
    if (!ParseScript(std::string_view(text.constData(), static_cast<size_t>(text.size())), commands_, bad)) {
        error = path.toStdString() + ":" + std::to_string(bad.line) + ": " + bad.message;
        return false;
    }
    return true;
}

void ScriptRunner::Begin() {
    boxes_.WatchUnanswered(kUnansweredBoxMs, [this](const std::u16string& text) {
        Fail(line_ > 0 ? "line " + std::to_string(line_) : "start-up", UnansweredBoxError(text),
             kUnansweredBoxExitCode);
    });
    // A box that a command opens holds that command until it is answered; the script goes on meanwhile,
    // so that the lines after it can answer it.
    boxes_.OnOpened([this] {
        if (!continued_ || *continued_)
            return;
        *continued_ = true;
        QTimer::singleShot(0, this, [this] { RunNext(); });
    });
    for (; next_ < commands_.size() && commands_[next_].verb == ScriptVerb::Answer; ++next_)
        RunAnswer(commands_[next_]);
}

void ScriptRunner::Start() {
    if (exitCode_ >= 0) {
        End(exitCode_);
        return;
    }
    QTimer::singleShot(0, this, [this] { RunNext(); });
}

void ScriptRunner::RunNext() {
    if (exitCode_ >= 0)
        return;
    if (next_ >= commands_.size()) {
        // What the program shows from now on is the user's to answer.
        boxes_.WatchUnanswered(0, {});
        return;
    }
    const ScriptCommand& command = commands_[next_++];
    line_ = command.line;
    bool continued = false;
    continued_ = &continued;
    const std::string error = Run(command, continued);
    continued_ = nullptr;
    if (!error.empty())
        Fail("line " + std::to_string(command.line), error, kScriptFailedExitCode);
    else if (!continued)
        QTimer::singleShot(0, this, [this] { RunNext(); });
}

std::string ScriptRunner::Run(const ScriptCommand& command, bool& continued) {
    switch (command.verb) {
    case ScriptVerb::Key:
    case ScriptVerb::KeyDown:
    case ScriptVerb::KeyUp:
        return RunKey(command);
    case ScriptVerb::Hold:
        return RunHold(command);
    case ScriptVerb::Tap:
        return RunTap(command);
    case ScriptVerb::Wait:
        continued = true;
        QTimer::singleShot(std::stoi(command.words[1]), this, [this] { RunNext(); });
        return {};
    case ScriptVerb::WaitIdle:
        continued = true;
        WaitIdle(0);
        return {};
    case ScriptVerb::WaitTest:
        continued = true;
        WaitTest();
        return {};
    case ScriptVerb::Shot:
        return RunShot(command);
    case ScriptVerb::Load:
        return RunLoad(command);
    case ScriptVerb::Save:
        return RunSave(command);
    case ScriptVerb::Dump:
        return RunDump(command);
    case ScriptVerb::Power:
        platform::PressPowerKey();
        return {};
    case ScriptVerb::Usb:
        return RunUsb(command);
    case ScriptVerb::Answer:
        RunAnswer(command);
        return {};
    case ScriptVerb::Battery:
        simboard::SimBoard::Instance().SetBatteryLevel(static_cast<uint8_t>(std::stoi(command.words[1])));
        return {};
    case ScriptVerb::Type:
        TypeText(QString::fromStdString(command.words[1]));
        return {};
    case ScriptVerb::Quit:
        End(kQuitExitCode);
        return {};
    }
    return {};
}

void ScriptRunner::Fail(const std::string& where, const std::string& error, int exitCode) {
    if (exitCode_ >= 0)
        return;
    std::fprintf(stderr, "script: %s: %s\n", where.c_str(), error.c_str());
    std::fflush(stderr);
    End(exitCode);
}

void ScriptRunner::End(int exitCode) {
    exitCode_ = exitCode;
    // A message box left open would hold the main window's end back.
    boxes_.WatchUnanswered(0, {});
    boxes_.CloseAll();
    if (CLumetraDlg* dialog = frontend_.Dialog())
        dialog->PostQuit(exitCode);
}

std::string ScriptRunner::RunKey(const ScriptCommand& command) {
    const uint32_t vk = platform::KeyFromName(command.words[1].c_str());
    if (command.verb != ScriptVerb::KeyUp)
        SendKey(vk, true, false);
    if (command.verb != ScriptVerb::KeyDown)
        SendKey(vk, false, false);
    return {};
}

std::string ScriptRunner::RunHold(const ScriptCommand& command) {
    const uint32_t vk = platform::KeyFromName(command.words[1].c_str());
    const int count = std::stoi(command.words[2]);
    for (int i = 0; i < count; ++i)
        SendKey(vk, true, i > 0);
    SendKey(vk, false, false);
    return {};
}

std::string ScriptRunner::RunTap(const ScriptCommand& command) {
    CLumetraDlg* dialog = frontend_.Dialog();
    QWindow* window = dialog ? dialog->windowHandle() : nullptr;
    if (!window)
        return "no window to tap";
    const QPointF at(std::stoi(command.words[1]), std::stoi(command.words[2]));
    QMouseEvent press(QEvent::MouseButtonPress, at, window->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(window, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, window->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(window, &release);
    return {};
}

void ScriptRunner::WaitIdle(int stableRounds) {
    if (TestRunning)
        stableRounds = 0;
    else if (++stableRounds >= 3) {
        QTimer::singleShot(0, this, [this] { RunNext(); });
        return;
    }
    QTimer::singleShot(20, this, [this, stableRounds] { WaitIdle(stableRounds); });
}

void ScriptRunner::WaitTest() {
    // The test has ended once its thread has taken its last step: the trace analysed, the keys back.
    const CLumetraDlg* dialog = frontend_.Dialog();
    if (TestRunning || (dialog && dialog->MainPanel().TestActive())) {
        QTimer::singleShot(10, this, [this] { WaitTest(); });
        return;
    }
    QTimer::singleShot(0, this, [this] { RunNext(); });
}

std::string ScriptRunner::RunShot(const ScriptCommand& command) {
    const std::string& file = command.words[1];
    CLumetraDlg* dialog = frontend_.Dialog();
    if (!dialog)
        return "no screen to take";
    return platform::SaveScreenShot(*dialog, file) ? "" : "cannot write " + file;
}

std::string ScriptRunner::RunLoad(const ScriptCommand& command) {
    CLumetraDlg* dialog = frontend_.Dialog();
    if (!dialog)
        return "cannot load " + command.words[1];
    CDataLine& view = *dialog->TraceBody()->TraceView();
    view.SetParametersChanged(false);
    if (view.BuildFromFile(command.words[1]) != 0)
        return "cannot load " + command.words[1];
    TraceLoaded = 1;
    return {};
}

std::string ScriptRunner::RunSave(const ScriptCommand& command) {
    // The current trace with the current parameters, as the trace writer stores a test.
    const TraceData::Samples samples = CurrentTrace().Snapshot();
    if (tracefile::WriteTraceFile(command.words[1], *samples, ToParameterBlock(TestParam, TestWay)) != 1)
        return "cannot save " + command.words[1];
    return {};
}

std::string ScriptRunner::RunDump(const ScriptCommand& command) {
    const std::string& path = command.words[1];
    CLumetraDlg* dialog = frontend_.Dialog();
    if (!dialog)
        return "cannot dump to " + path;
    QString text;
    QTextStream out(&text);
    const CEventLstBody& events = dialog->EventList();
    out << "status: " << dialog->StatusBar()->Message() << "\n";
    out << "samples: " << CurrentTrace().Count() << "\n";
    out << "range: " << TestParam.Value(kRangeItem) << " km\n";
    out << "events: " << events.RowCount() << "\n";
    for (int row = 0; row < events.RowCount(); ++row)
        out << "row: " << events.Row(row) << "\n";
    out.flush();
    return WriteHostFile(path, text.toUtf8()) ? "" : "cannot dump to " + path;
}

std::string ScriptRunner::RunUsb(const ScriptCommand& command) {
    const std::string& action = command.words[1];
    // The folder and its unplugged copy are found whatever their letter case, and keep it.
    const std::filesystem::path disk = platform::HostPath(UDiskRoot);
    const std::filesystem::path unplugged = platform::HostPath(
        UDiskRoot.substr(0, UDiskRoot.find_last_of("\\/") + 1) + UnpluggedName(disk.filename().string()));
    std::error_code error;
    if (action == "insert" && !std::filesystem::exists(disk, error)) {
        if (std::filesystem::exists(unplugged, error)) {
            const std::string stored = unplugged.filename().string();
            const std::string spelling = stored.substr(1, stored.size() - UnpluggedName("").size());
            std::filesystem::rename(unplugged, disk.parent_path() / spelling, error);
        } else {
            std::filesystem::create_directories(disk, error);
        }
    } else if (action == "remove" && std::filesystem::exists(disk, error)) {
        std::filesystem::remove_all(unplugged, error);
        if (!error)
            std::filesystem::rename(disk, disk.parent_path() / UnpluggedName(disk.filename().string()),
                                    error);
    }
    return error ? "usb " + action + ": " + error.message() : "";
}

void ScriptRunner::RunAnswer(const ScriptCommand& command) {
    boxes_.Answer(AnswerResult(command.words[1]));
}

QWindow* ScriptRunner::KeyWindow() const {
    QWidget* target = QApplication::activeModalWidget();
    if (!target)
        target = frontend_.Dialog();
    return target ? target->windowHandle() : nullptr;
}

void ScriptRunner::SendKey(uint32_t vk, bool down, bool repeat) {
    if (QWindow* window = KeyWindow()) {
        QKeyEvent event(down ? QEvent::KeyPress : QEvent::KeyRelease, platform::QtKeyOf(vk), Qt::NoModifier,
                        QString(), repeat);
        QCoreApplication::sendEvent(window, &event);
    }
}

void ScriptRunner::TypeText(const QString& text) {
    QWindow* window = KeyWindow();
    if (!window)
        return;
    for (const QChar c : text) {
        // Digits, letters and the point are the keys that carry them; any other character comes as the
        // on-screen keyboard gives it, a key press with only its text.
        const QChar upper = c.toUpper();
        const int key = c.isDigit() && c.unicode() < 128 ? Qt::Key_0 + (c.unicode() - '0')
                        : upper.unicode() >= 'A' && upper.unicode() <= 'Z'
                            ? Qt::Key_A + (upper.unicode() - 'A')
                        : c == '.' ? Qt::Key_Period
                        : c == ' ' ? Qt::Key_Space
                                   : Qt::Key_unknown;
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, key, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(window, &event);
        }
    }
}
