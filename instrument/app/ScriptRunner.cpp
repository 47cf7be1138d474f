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
#include "platform/MessageBox.h"
#include "platform/PowerKey.h"
#include "platform/VirtualKeys.h"
#include "platform/qt/KeyMap.h"
#include "platform/qt/QtMessageBoxService.h"

#include "shared/tracefile/TraceFile.h"
#include "simboard/SimBoard.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextStream>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <filesystem>
#include <sstream>

namespace {

bool IsNumber(const std::string& text) {
    return !text.empty() && text.size() < 10 && text.find_first_not_of("0123456789") == std::string::npos;
}

bool IsKey(const std::string& name) {
    return platform::KeyFromName(name.c_str()) != 0;
}

// The USB disk keeps its files while unplugged, in a hidden folder beside the device root's others.
std::filesystem::path Unplugged(const std::filesystem::path& disk) {
    return disk.parent_path() / ("." + disk.filename().string() + ".unplugged");
}

using Words = std::vector<std::string>;

} // namespace

// One command of the script language: how many words follow the verb, what else they must be, the
// message for a line that breaks it, and what the command does.
struct ScriptRunner::Verb {
    const char* name;
    size_t args;
    bool (*valid)(const Words& w); // null: any words will do
    const char* usage;
    // An error text, empty when the command did its work.
    std::string (ScriptRunner::*run)(const Command& command);
    // The command goes on to the next one itself, once it is done waiting.
    bool waits = false;
};

const std::vector<ScriptRunner::Verb>& ScriptRunner::Verbs() {
    static const std::vector<Verb> verbs = {
        {"key", 1, [](const Words& w) { return IsKey(w[1]); },
         "key needs one key name (VK_RIGHT, F1, T, ...)", &ScriptRunner::RunKey},
        {"keydown", 1, [](const Words& w) { return IsKey(w[1]); },
         "keydown needs one key name (VK_RIGHT, F1, T, ...)", &ScriptRunner::RunKey},
        {"keyup", 1, [](const Words& w) { return IsKey(w[1]); },
         "keyup needs one key name (VK_RIGHT, F1, T, ...)", &ScriptRunner::RunKey},
        {"hold", 2, [](const Words& w) { return IsKey(w[1]) && IsNumber(w[2]) && std::stoi(w[2]) >= 1; },
         "hold needs a key name and a count of key-downs", &ScriptRunner::RunHold},
        {"tap", 2, [](const Words& w) { return IsNumber(w[1]) && IsNumber(w[2]); },
         "tap needs X and Y in pixels", &ScriptRunner::RunTap},
        {"wait", 1, [](const Words& w) { return IsNumber(w[1]); }, "wait needs milliseconds",
         &ScriptRunner::RunWait, true},
        {"wait-idle", 0, nullptr, "wait-idle takes no arguments", &ScriptRunner::RunWaitIdle, true},
        {"wait-test", 0, nullptr, "wait-test takes no arguments", &ScriptRunner::RunWaitTest, true},
        {"shot", 1, [](const Words& w) { return w[1].size() > 4 && w[1].ends_with(".png"); },
         "shot needs a NAME.png", &ScriptRunner::RunShot},
        {"load", 1, nullptr, "load needs a FILE.st", &ScriptRunner::RunLoad},
        {"save", 1, nullptr, "save needs a FILE.st", &ScriptRunner::RunSave},
        {"dump", 1, nullptr, "dump needs a FILE.txt", &ScriptRunner::RunDump},
        {"power", 0, nullptr, "power takes no arguments", &ScriptRunner::RunPower},
        {"usb", 1, [](const Words& w) { return w[1] == "insert" || w[1] == "remove"; },
         "usb needs insert or remove", &ScriptRunner::RunUsb},
        {"answer", 1, [](const Words& w) { return w[1] == "yes" || w[1] == "no" || w[1] == "ok"; },
         "answer needs yes, no or ok", &ScriptRunner::RunAnswer},
        {"battery", 1, [](const Words& w) { return IsNumber(w[1]) && std::stoi(w[1]) <= 255; },
         "battery needs a level 0..255", &ScriptRunner::RunBattery},
        {"quit", 0, nullptr, "quit takes no arguments", &ScriptRunner::RunQuit},
    };
    return verbs;
}

const ScriptRunner::Verb* ScriptRunner::Find(const std::string& name) {
    for (const Verb& verb : Verbs())
        if (name == verb.name)
            return &verb;
    return nullptr;
}

std::string ScriptRunner::Check(const std::vector<std::string>& words) {
    const Verb* verb = Find(words[0]);
    if (!verb)
        return "unknown command '" + words[0] + "'";
    const bool valid = words.size() == verb->args + 1 && (!verb->valid || verb->valid(words));
    return valid ? "" : verb->usage;
}

bool ScriptRunner::Load(const QString& path, std::string& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        error = "cannot read " + path.toStdString();
        return false;
    }
    int line = 0;
    while (!file.atEnd()) {
        ++line;
        const std::string text = file.readLine().trimmed().toStdString();
        if (text.empty() || text[0] == '#')
            continue;
        std::istringstream words(text);
        Command command{line, {}};
        for (std::string word; words >> word;)
            command.words.push_back(word);
        if (const std::string problem = Check(command.words); !problem.empty()) {
            error = path.toStdString() + ":" + std::to_string(line) + ": " + problem;
            return false;
        }
        commands_.push_back(std::move(command));
    }
    return true;
}

void ScriptRunner::Start() {
    QTimer::singleShot(0, this, [this] { RunNext(); });
}

void ScriptRunner::RunNext() {
    if (next_ >= commands_.size())
        return;
    const Command& command = commands_[next_++];
    const Verb& verb = *Find(command.words[0]);
    if (const std::string error = (this->*verb.run)(command); !error.empty()) {
        Stop(command, error);
        return;
    }
    if (!verb.waits)
        QTimer::singleShot(0, this, [this] { RunNext(); });
}

void ScriptRunner::Stop(const Command& command, const std::string& error) {
    std::fprintf(stderr, "script: line %d: %s\n", command.line, error.c_str());
    std::fflush(stderr);
    next_ = commands_.size();
    CLumetraDlg* dialog = frontend_.Dialog();
    if (!dialog)
        return;
    // A message box left open would hold the main window's end back.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != dialog)
        modal->close();
    dialog->PostQuit(kScriptFailedExitCode);
}

std::string ScriptRunner::RunKey(const Command& command) {
    const std::string& verb = command.words[0];
    const uint32_t vk = platform::KeyFromName(command.words[1].c_str());
    if (verb != "keyup")
        SendKey(vk, true, false);
    if (verb != "keydown")
        SendKey(vk, false, false);
    return {};
}

std::string ScriptRunner::RunHold(const Command& command) {
    const uint32_t vk = platform::KeyFromName(command.words[1].c_str());
    const int count = std::stoi(command.words[2]);
    for (int i = 0; i < count; ++i)
        SendKey(vk, true, i > 0);
    SendKey(vk, false, false);
    return {};
}

std::string ScriptRunner::RunTap(const Command& command) {
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

std::string ScriptRunner::RunWait(const Command& command) {
    QTimer::singleShot(std::stoi(command.words[1]), this, [this] { RunNext(); });
    return {};
}

std::string ScriptRunner::RunWaitIdle(const Command&) {
    WaitIdle(0);
    return {};
}

std::string ScriptRunner::RunWaitTest(const Command&) {
    WaitTest();
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

std::string ScriptRunner::RunShot(const Command& command) {
    const std::string& file = command.words[1];
    CLumetraDlg* dialog = frontend_.Dialog();
    if (!dialog)
        return "no screen to take";
    QPixmap screen = dialog->grab();
    QPainter painter(&screen);
    // Message boxes are windows of their own; put them where they stand over the screen.
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top != dialog && top->isVisible() && top->isWindow())
            painter.drawPixmap(top->geometry().topLeft() - dialog->geometry().topLeft(), top->grab());
    }
    painter.end();
    return screen.save(QString::fromStdString(file), "PNG") ? "" : "cannot write " + file;
}

std::string ScriptRunner::RunLoad(const Command& command) {
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

std::string ScriptRunner::RunSave(const Command& command) {
    // The current trace with the current parameters, as the trace writer stores a test.
    const TraceData::Samples samples = CurrentTrace().Snapshot();
    if (tracefile::WriteTraceFile(command.words[1], *samples, ToParameterBlock(TestParam, TestWay)) != 1)
        return "cannot save " + command.words[1];
    return {};
}

std::string ScriptRunner::RunDump(const Command& command) {
    const std::string& path = command.words[1];
    CLumetraDlg* dialog = frontend_.Dialog();
    QFile file(QString::fromStdString(path));
    if (!dialog || !file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return "cannot dump to " + path;
    QTextStream out(&file);
    const CEventLstBody& events = dialog->EventList();
    out << "status: " << dialog->StatusBar()->Message() << "\n";
    out << "samples: " << CurrentTrace().Count() << "\n";
    out << "range: " << TestParam.Value(kRangeItem) << " km\n";
    out << "events: " << events.RowCount() << "\n";
    for (int row = 0; row < events.RowCount(); ++row)
        out << "row: " << events.Row(row) << "\n";
    return {};
}

std::string ScriptRunner::RunPower(const Command&) {
    platform::PressPowerKey();
    return {};
}

std::string ScriptRunner::RunUsb(const Command& command) {
    const std::string& action = command.words[1];
    const std::filesystem::path disk = platform::HostPath(UDiskRoot);
    std::error_code error;
    if (action == "insert" && !std::filesystem::exists(disk, error)) {
        if (std::filesystem::exists(Unplugged(disk), error))
            std::filesystem::rename(Unplugged(disk), disk, error);
        else
            std::filesystem::create_directories(disk, error);
    } else if (action == "remove" && std::filesystem::exists(disk, error)) {
        std::filesystem::remove_all(Unplugged(disk), error);
        std::filesystem::rename(disk, Unplugged(disk), error);
    }
    return error ? "usb " + action + ": " + error.message() : "";
}

std::string ScriptRunner::RunAnswer(const Command& command) {
    const std::string& answer = command.words[1];
    boxes_.Answer(answer == "yes" ? platform::IDYES : answer == "no" ? platform::IDNO : platform::IDOK);
    return {};
}

std::string ScriptRunner::RunBattery(const Command& command) {
    simboard::SimBoard::Instance().SetBatteryLevel(static_cast<uint8_t>(std::stoi(command.words[1])));
    return {};
}

std::string ScriptRunner::RunQuit(const Command&) {
    if (CLumetraDlg* dialog = frontend_.Dialog())
        dialog->PostQuit(kQuitExitCode);
    return {};
}

void ScriptRunner::SendKey(uint32_t vk, bool down, bool repeat) {
    QWidget* target = QApplication::activeModalWidget();
    if (!target)
        target = frontend_.Dialog();
    QWindow* window = target ? target->windowHandle() : nullptr;
    if (!window)
        return;
    QKeyEvent event(down ? QEvent::KeyPress : QEvent::KeyRelease, platform::QtKeyOf(vk), Qt::NoModifier,
                    QString(), repeat);
    QCoreApplication::sendEvent(window, &event);
}
