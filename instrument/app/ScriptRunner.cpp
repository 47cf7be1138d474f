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

// The USB disk keeps its files while unplugged, in a hidden folder beside the device root's others.
std::filesystem::path Unplugged(const std::filesystem::path& disk) {
    return disk.parent_path() / ("." + disk.filename().string() + ".unplugged");
}

void Fail(const std::string& message) {
    std::fprintf(stderr, "script: %s\n", message.c_str());
    std::fflush(stderr);
    std::_Exit(2);
}

} // namespace

std::string ScriptRunner::Check(const std::vector<std::string>& w) {
    const std::string& verb = w[0];
    const size_t args = w.size() - 1;
    if (verb == "key" || verb == "keydown" || verb == "keyup")
        return args == 1 && platform::KeyFromName(w[1].c_str())
                   ? ""
                   : verb + " needs one key name (VK_RIGHT, F1, T, ...)";
    if (verb == "hold")
        return args == 2 && platform::KeyFromName(w[1].c_str()) && IsNumber(w[2]) && std::stoi(w[2]) >= 1
                   ? ""
                   : "hold needs a key name and a count of key-downs";
    if (verb == "tap")
        return args == 2 && IsNumber(w[1]) && IsNumber(w[2]) ? "" : "tap needs X and Y in pixels";
    if (verb == "wait")
        return args == 1 && IsNumber(w[1]) ? "" : "wait needs milliseconds";
    if (verb == "shot")
        return args == 1 && w[1].size() > 4 && w[1].substr(w[1].size() - 4) == ".png"
                   ? ""
                   : "shot needs a NAME.png";
    if (verb == "usb")
        return args == 1 && (w[1] == "insert" || w[1] == "remove") ? "" : "usb needs insert or remove";
    if (verb == "answer")
        return args == 1 && (w[1] == "yes" || w[1] == "no" || w[1] == "ok") ? ""
                                                                            : "answer needs yes, no or ok";
    if (verb == "battery")
        return args == 1 && IsNumber(w[1]) && std::stoi(w[1]) <= 255 ? "" : "battery needs a level 0..255";
    if (verb == "load" || verb == "save" || verb == "dump")
        return args == 1 ? "" : verb + " needs a FILE.st";
    if (verb == "power" || verb == "quit" || verb == "wait-idle" || verb == "wait-test")
        return args == 0 ? "" : verb + " takes no arguments";
    return "unknown command '" + verb + "'";
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
    const std::vector<std::string>& w = command.words;
    if (w[0] == "wait") {
        QTimer::singleShot(std::stoi(w[1]), this, [this] { RunNext(); });
        return;
    }
    if (w[0] == "wait-idle") {
        WaitIdle(0);
        return;
    }
    if (w[0] == "wait-test") {
        WaitTest();
        return;
    }
    Run(command);
    QTimer::singleShot(0, this, [this] { RunNext(); });
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

void ScriptRunner::Dump(const std::string& path, int line) {
    CLumetraDlg* dialog = frontend_.Dialog();
    QFile file(QString::fromStdString(path));
    if (!dialog || !file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        Fail("line " + std::to_string(line) + ": cannot dump to " + path);
    QTextStream out(&file);
    const CEventLstBody& events = dialog->EventList();
    out << "status: " << dialog->StatusBar()->Message() << "\n";
    out << "samples: " << CurrentTrace().Count() << "\n";
    out << "range: " << TestParam.Value(kRangeItem) << " km\n";
    out << "events: " << events.RowCount() << "\n";
    for (int row = 0; row < events.RowCount(); ++row)
        out << "row: " << events.Row(row) << "\n";
}

void ScriptRunner::Run(const Command& command) {
    const std::vector<std::string>& w = command.words;
    const std::string& verb = w[0];
    if (verb == "key" || verb == "keydown" || verb == "keyup") {
        const uint32_t vk = platform::KeyFromName(w[1].c_str());
        if (verb != "keyup")
            SendKey(vk, true, false);
        if (verb != "keydown")
            SendKey(vk, false, false);
    } else if (verb == "hold") {
        const uint32_t vk = platform::KeyFromName(w[1].c_str());
        const int count = std::stoi(w[2]);
        for (int i = 0; i < count; ++i)
            SendKey(vk, true, i > 0);
        SendKey(vk, false, false);
    } else if (verb == "tap") {
        CLumetraDlg* dialog = frontend_.Dialog();
        QWindow* window = dialog ? dialog->windowHandle() : nullptr;
        if (!window)
            Fail("line " + std::to_string(command.line) + ": no window to tap");
        const QPointF at(std::stoi(w[1]), std::stoi(w[2]));
        QMouseEvent press(QEvent::MouseButtonPress, at, window->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, window->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &release);
    } else if (verb == "shot") {
        Shot(w[1]);
    } else if (verb == "load") {
        CLumetraDlg* dialog = frontend_.Dialog();
        if (dialog)
            dialog->TraceBody()->TraceView()->SetParametersChanged(false);
        if (!dialog || dialog->TraceBody()->TraceView()->BuildFromFile(w[1]) != 0)
            Fail("line " + std::to_string(command.line) + ": cannot load " + w[1]);
        TraceLoaded = 1;
    } else if (verb == "save") {
        // The current trace with the current parameters, as the trace writer stores a test.
        const TraceData::Samples samples = CurrentTrace().Snapshot();
        if (tracefile::WriteTraceFile(w[1], *samples, ToParameterBlock(TestParam, TestWay)) != 1)
            Fail("line " + std::to_string(command.line) + ": cannot save " + w[1]);
    } else if (verb == "dump") {
        Dump(w[1], command.line);
    } else if (verb == "power") {
        platform::PressPowerKey();
    } else if (verb == "usb") {
        const std::filesystem::path disk = platform::HostPath(UDiskRoot);
        std::error_code error;
        if (w[1] == "insert" && !std::filesystem::exists(disk, error)) {
            if (std::filesystem::exists(Unplugged(disk), error))
                std::filesystem::rename(Unplugged(disk), disk, error);
            else
                std::filesystem::create_directories(disk, error);
        } else if (w[1] == "remove" && std::filesystem::exists(disk, error)) {
            std::filesystem::remove_all(Unplugged(disk), error);
            std::filesystem::rename(disk, Unplugged(disk), error);
        }
        if (error)
            Fail("line " + std::to_string(command.line) + ": usb " + w[1] + ": " + error.message());
    } else if (verb == "answer") {
        boxes_.Answer(w[1] == "yes" ? platform::IDYES : w[1] == "no" ? platform::IDNO : platform::IDOK);
    } else if (verb == "battery") {
        simboard::SimBoard::Instance().SetBatteryLevel(static_cast<uint8_t>(std::stoi(w[1])));
    } else if (verb == "quit") {
        if (CLumetraDlg* dialog = frontend_.Dialog())
            dialog->PostQuit(kQuitExitCode);
    }
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

void ScriptRunner::Shot(const std::string& file) {
    CLumetraDlg* dialog = frontend_.Dialog();
    if (!dialog)
        Fail("shot: no screen to take");
    QPixmap screen = dialog->grab();
    QPainter painter(&screen);
    // Message boxes are windows of their own; put them where they stand over the screen.
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top != dialog && top->isVisible() && top->isWindow())
            painter.drawPixmap(top->geometry().topLeft() - dialog->geometry().topLeft(), top->grab());
    }
    painter.end();
    if (!screen.save(QString::fromStdString(file), "PNG"))
        Fail("shot: cannot write " + file);
}
