#pragma once
#include <QObject>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

class CMainFrame;
namespace platform {
class QtMessageBoxService;
}

// `OTDR --script FILE`: drives the desktop program from a script, one command a line, in the words of
// Lumetra's scripts (quotes, # comments). The whole script is checked before the window opens.
class OtdrScript : public QObject {
public:
    struct Command {
        int line = 0;
        std::vector<std::string> words;
    };

    explicit OtdrScript(platform::QtMessageBoxService& boxes) : boxes_(boxes) {}

    // Checks a whole script; on the first bad line, false with "line N: what is wrong".
    static bool Parse(std::string_view text, std::vector<Command>& commands, std::string& error);
    bool Load(const QString& path, std::string& error);
    // Before the window: the leading `answer` lines answer the boxes of the start (a second instance),
    // and from now on no box stays open that no answer covers.
    void Begin();
    // Once the main window exists: the rest.
    void Start(CMainFrame& frame);

    static constexpr int kScriptFailedExitCode = 2;
    static constexpr int kUnansweredBoxExitCode = 3;
    static constexpr int kUnansweredBoxMs = 5000;

private:
    void RunNext();
    // Empty when the command did its work, else why not; `delayMs` is how long before the next.
    std::string Run(const Command& command, int& delayMs);
    std::string Click(int x, int y);
    std::string Drag(int x1, int y1, int x2, int y2);
    std::string Key(const std::string& name);
    std::string Type(const std::string& text);
    std::string Focus(const std::string& label);
    std::string Row(int row);
    std::string Dump(const std::string& file) const;
    void Fail(const std::string& error, int exitCode);
    void End(int exitCode);

    CMainFrame* frame_ = nullptr;
    platform::QtMessageBoxService& boxes_;
    std::vector<Command> commands_;
    size_t next_ = 0;
    int line_ = 0;
    bool ended_ = false;
};
