#include "pc/OtdrScript.h"

#include "pc/CAdMoiDlg.h"
#include "pc/CDataLine.h"
#include "pc/CMainFrame.h"
#include "pc/COTDRView.h"
#include "pc/SorExchange.h"
#include "pc/TestReport.h"

#include "instrument/app/ScriptParser.h"

#include "platform/Numbers.h"
#include "platform/qt/QtMessageBoxService.h"
#include "platform/qt/ScreenShot.h"

#include "shared/fileio/HostFiles.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <charconv>
#include <cstdio>

namespace {

struct Verb {
    const char* name;
    int arguments; // words after the verb
    const char* usage;
};

constexpr Verb kVerbs[] = {
    {"open", 1, "open PATH"},
    {"menu", 1, "menu \"Menu/Item\""},
    {"click", 2, "click X Y"},
    {"drag", 4, "drag X1 Y1 X2 Y2"},
    {"key", 1, "key NAME"},
    {"type", 1, "type TEXT"},
    {"focus", 1, "focus LABEL"},
    {"button", 1, "button \"TEXT\""},
    {"row", 1, "row N"},
    {"answer", 1, "answer yes|no|ok"},
    {"wait", 1, "wait MS"},
    {"shot", 1, "shot FILE.png"},
    {"dump", 1, "dump FILE.json"},
    {"quit", 0, "quit"},
    {"print-pdf", 1, "print-pdf FILE.pdf"},
    {"import-sor", 2, "import-sor FILE.sor OUT.st"},
    {"export-sor", 1, "export-sor FILE.sor"},
};

bool ToInt(const std::string& word, int& value) {
    const char* end = word.data() + word.size();
    const auto [at, error] = std::from_chars(word.data(), end, value);
    return error == std::errc() && at == end;
}

// What is wrong with a command's words; empty when nothing is.
std::string Check(const std::vector<std::string>& words) {
    for (const Verb& verb : kVerbs) {
        if (words[0] != verb.name)
            continue;
        if (static_cast<int>(words.size()) - 1 != verb.arguments)
            return std::string("usage: ") + verb.usage;
        const std::string first = words.size() > 1 ? words[1] : std::string();
        int number = 0;
        if (words[0] == "click" || words[0] == "drag" || words[0] == "row" || words[0] == "wait")
            for (size_t i = 1; i < words.size(); ++i)
                if (!ToInt(words[i], number) || number < 0)
                    return "'" + words[i] + "' is not a number: " + verb.usage;
        if (words[0] == "answer" && first != "yes" && first != "no" && first != "ok")
            return std::string("usage: ") + verb.usage;
        return {};
    }
    return "unknown command '" + words[0] + "'";
}

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

bool OtdrScript::Parse(std::string_view text, std::vector<Command>& commands, std::string& error) {
    commands.clear();
    int line = 0;
    while (!text.empty()) {
        ++line;
        const size_t end = text.find('\n');
        std::string_view current = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!current.empty() && current.back() == '\r')
            current.remove_suffix(1);
        std::vector<std::string> words;
        std::string fault;
        if (!SplitScriptLine(current, words, fault)) {
            error = "line " + std::to_string(line) + ": " + fault;
            return false;
        }
        if (words.empty() || words[0].starts_with('#'))
            continue;
        if (const std::string wrong = Check(words); !wrong.empty()) {
            error = "line " + std::to_string(line) + ": " + wrong;
            return false;
        }
        commands.push_back({line, std::move(words)});
    }
    return true;
}

bool OtdrScript::Load(const QString& path, std::string& error) {
    std::string text;
    return ReadScriptFile(path.toStdString(), text, error) && Parse(text, commands_, error);
}

void OtdrScript::Begin() {
    while (next_ < commands_.size() && commands_[next_].words[0] == "answer") {
        boxes_.Answer(AnswerResult(commands_[next_++].words[1]));
    }
    boxes_.WatchUnanswered(kUnansweredBoxMs, [this](const std::u16string& text) {
        Fail(UnansweredBoxError(text), kUnansweredBoxExitCode);
    });
}

void OtdrScript::Start(CMainFrame& frame) {
    frame_ = &frame;
    QTimer::singleShot(0, this, [this] { RunNext(); });
}

void OtdrScript::RunNext() {
    if (ended_)
        return;
    if (next_ >= commands_.size()) {
        boxes_.WatchUnanswered(0, {});
        return;
    }
    const Command& command = commands_[next_++];
    line_ = command.line;
    int delayMs = 0;
    const std::string error = Run(command, delayMs);
    if (!error.empty()) {
        Fail(error, kScriptFailedExitCode);
        return;
    }
    QTimer::singleShot(delayMs, this, [this] { RunNext(); });
}

std::string OtdrScript::Run(const Command& command, int& delayMs) {
    const std::vector<std::string>& words = command.words;
    const std::string& verb = words[0];
    COTDRView& view = frame_->View();
    std::vector<int> numbers;
    for (size_t i = 1; i < words.size(); ++i) {
        int number = 0;
        numbers.push_back(ToInt(words[i], number) ? number : 0);
    }
    // Commands that may open a box act from the event loop, so the next lines (an answer) run meanwhile.
    if (verb == "open") {
        QTimer::singleShot(0, frame_, [this, path = Text(words[1])] { frame_->OpenChosenFile(path); });
    } else if (verb == "menu") {
        QAction* item = frame_->MenuItem(Text(words[1]));
        if (!item || item->menu())
            return "no menu item " + words[1];
        if (!item->isEnabled())
            return "menu item " + words[1] + " is disabled";
        QTimer::singleShot(0, item, [item] { item->trigger(); });
    } else if (verb == "click") {
        return Click(numbers[0], numbers[1]);
    } else if (verb == "drag") {
        return Drag(numbers[0], numbers[1], numbers[2], numbers[3]);
    } else if (verb == "key") {
        return Key(words[1]);
    } else if (verb == "type") {
        return Type(words[1]);
    } else if (verb == "focus") {
        return Focus(words[1]);
    } else if (verb == "button") {
        // The form's buttons, then those of the open add or modify dialog.
        QPushButton* button = view.Button(Text(words[1]));
        if (!button && view.EditDialog())
            button = view.EditDialog()->Button(Text(words[1]));
        if (!button)
            return "no button " + words[1];
        if (!button->isEnabled())
            return "button " + words[1] + " is disabled";
        QTimer::singleShot(0, button, [button] { button->click(); });
    } else if (verb == "row") {
        return Row(numbers[0]);
    } else if (verb == "answer") {
        boxes_.Answer(AnswerResult(words[1]));
    } else if (verb == "wait") {
        delayMs = numbers[0];
    } else if (verb == "shot") {
        if (!platform::SaveScreenShot(*frame_, words[1]))
            return "cannot write " + words[1];
    } else if (verb == "dump") {
        return Dump(words[1]);
    } else if (verb == "print-pdf") {
        if (!WriteReportPdf(view, Text(words[1])))
            return "cannot write " + words[1];
    } else if (verb == "import-sor") {
        QString note;
        if (const QString problem = ImportSorFile(Text(words[1]), Text(words[2]), note); !problem.isEmpty())
            return problem.toStdString();
        QTimer::singleShot(0, frame_, [this, path = Text(words[2])] { frame_->OpenChosenFile(path); });
    } else if (verb == "export-sor") {
        if (const QString problem = ExportSorFile(view, Text(words[1])); !problem.isEmpty())
            return problem.toStdString();
    } else {
        End(0);
    }
    return {};
}

std::string OtdrScript::Click(int x, int y) {
    CDataLine& trace = frame_->View().TraceView();
    const QPointF at(x, y);
    QMouseEvent press(QEvent::MouseButtonPress, at, trace.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&trace, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, trace.mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&trace, &release);
    return {};
}

std::string OtdrScript::Drag(int x1, int y1, int x2, int y2) {
    CDataLine& trace = frame_->View().TraceView();
    const auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, at, trace.mapToGlobal(at), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&trace, &event);
    };
    send(QEvent::MouseButtonPress, QPointF(x1, y1), Qt::LeftButton, Qt::LeftButton);
    // The pointer passes every column on its way, as a hand moves it.
    const int steps = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
    for (int i = 1; i <= steps; ++i)
        send(QEvent::MouseMove, QPointF(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps), Qt::NoButton,
             Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPointF(x2, y2), Qt::LeftButton, Qt::NoButton);
    return {};
}

std::string OtdrScript::Key(const std::string& name) {
    const QKeySequence sequence = QKeySequence::fromString(Text(name));
    if (sequence.isEmpty())
        return "no key " + name;
    const QKeyCombination combination = sequence[0];
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : frame_;
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, combination.key(), combination.keyboardModifiers());
        QCoreApplication::sendEvent(target, &event);
    }
    return {};
}

std::string OtdrScript::Type(const std::string& text) {
    QWidget* target = QApplication::focusWidget();
    if (!target)
        return "nothing has the focus";
    for (const QChar c : Text(text)) {
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(target, &event);
        }
    }
    return {};
}

std::string OtdrScript::Focus(const std::string& label) {
    COTDRView& view = frame_->View();
    QWidget* control = nullptr;
    if (Text(label) == QLatin1String("Threshold"))
        control = &view.ThresholdBox();
    else if (Text(label) == QLatin1String("Events"))
        control = &view.EventList();
    else if (Text(label) == QLatin1String("EventType") && view.EditDialog())
        control = &view.EditDialog()->TypeBox();
    else
        control = view.Button(Text(label));
    if (!control)
        return "no control " + label;
    frame_->activateWindow();
    control->setFocus(Qt::OtherFocusReason);
    return {};
}

std::string OtdrScript::Row(int row) {
    QTableWidget& list = frame_->View().EventList();
    if (row >= list.rowCount())
        return "no row " + std::to_string(row) + " in the event list";
    const QRect cell = list.visualItemRect(list.item(row, 0));
    const QPointF at = cell.center();
    QWidget* viewport = list.viewport();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &event);
    }
    return {};
}

std::string OtdrScript::Dump(const std::string& file) const {
    const COTDRView& view = frame_->View();
    const CDataLine& trace = view.TraceView();
    QJsonObject dump;
    dump[QStringLiteral("caption")] = view.Caption();
    dump[QStringLiteral("title")] = frame_->windowTitle();
    QJsonObject params;
    for (const QString& label : view.ParameterLabels())
        params[label] = view.ParameterText(label);
    dump[QStringLiteral("params")] = params;
    QJsonObject measure;
    for (const QString& label : view.MeasureLabels())
        measure[label] = view.MeasureText(label);
    dump[QStringLiteral("measure")] = measure;
    static constexpr const char* kNames[] = {"a", "A", "B", "b"};
    QJsonObject cursors;
    const pc::TraceModel* model = trace.Model();
    for (int cursor = 0; cursor < 4; ++cursor) {
        QJsonObject entry;
        entry[QStringLiteral("column")] = model ? model->Scale().Column(cursor) : 0;
        entry[QStringLiteral("sample")] = model ? static_cast<qint64>(model->Scale().Sample(cursor)) : 0;
        entry[QStringLiteral("label")] = trace.CursorLabel(cursor);
        cursors[QString::fromLatin1(kNames[cursor])] = entry;
    }
    dump[QStringLiteral("cursors")] = cursors;
    dump[QStringLiteral("active")] = QString::fromLatin1(kNames[model ? model->Scale().Active() : 1]);
    dump[QStringLiteral("mode")] = trace.Mode();
    QJsonArray rows;
    const QTableWidget& list = view.EventList();
    for (int row = 0; row < list.rowCount(); ++row) {
        QJsonArray texts;
        for (int column = 0; column < list.columnCount(); ++column)
            texts.append(list.item(row, column) ? list.item(row, column)->text() : QString());
        rows.append(texts);
    }
    dump[QStringLiteral("events")] = rows;
    QJsonObject enabled;
    for (const ::Command command : frame_->ToolbarCommands())
        enabled[frame_->CommandText(command)] = frame_->Action(command)->isEnabled();
    for (const char* text : {"Event Analysis", "Add Event", "Modify Event", "Delete Event"})
        enabled[QString::fromLatin1(text)] = view.Button(QString::fromLatin1(text))->isEnabled();
    dump[QStringLiteral("enabled")] = enabled;
    if (const CAdMoiDlg* dialog = view.EditDialog()) {
        QJsonObject editing;
        editing[QStringLiteral("mode")] =
            dialog->DialogMode() == CAdMoiDlg::Mode::Add ? QStringLiteral("add") : QStringLiteral("modify");
        editing[QStringLiteral("prior")] = dialog->PriorText();
        editing[QStringLiteral("next")] = dialog->NextText();
        editing[QStringLiteral("type")] = dialog->TypeText();
        editing[QStringLiteral("position")] = dialog->PositionText();
        editing[QStringLiteral("number")] = dialog->NumberText();
        editing[QStringLiteral("loss")] = dialog->LossText();
        dump[QStringLiteral("dialog")] = editing;
    } else {
        dump[QStringLiteral("dialog")] = QJsonValue::Null;
    }
    const QByteArray json = QJsonDocument(dump).toJson(QJsonDocument::Indented);
    if (!fileio::ReplaceFile(
            file, {reinterpret_cast<const uint8_t*>(json.constData()), static_cast<size_t>(json.size())}))
        return "cannot write " + file;
    return {};
}

void OtdrScript::Fail(const std::string& error, int exitCode) {
    std::fprintf(stderr, "script: line %d: %s\n", line_, error.c_str());
    End(exitCode);
}

void OtdrScript::End(int exitCode) {
    ended_ = true;
    boxes_.WatchUnanswered(0, {});
    boxes_.CloseAll();
    QTimer::singleShot(0, qApp, [exitCode] { QApplication::exit(exitCode); });
}
