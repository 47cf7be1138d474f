#pragma once
#include <string>
#include <string_view>
#include <vector>

// The language of `Lumetra --script`: one command a line, words split at blanks (spaces, tabs),
// a word with blanks written in double quotes ("/tmp/my shots/a.png", where \" stands for a quote and
// \\ for a backslash), a line whose first word starts with # a comment.
enum class ScriptVerb {
    Key,
    KeyDown,
    KeyUp,
    Hold,
    Tap,
    Wait,
    WaitIdle,
    WaitTest,
    Shot,
    Load,
    Save,
    Dump,
    Power,
    Usb,
    Answer,
    Battery,
    Type,
    Quit,
};

struct ScriptCommand {
    int line = 0;
    ScriptVerb verb = ScriptVerb::Quit;
    // The verb as written, then its arguments.
    std::vector<std::string> words;
};

struct ScriptError {
    int line = 0;
    std::string message;
};

// Splits one line into its words; false with the reason on a quote that is not closed or that stands
// inside a word.
bool SplitScriptLine(std::string_view line, std::vector<std::string>& words, std::string& error);

// Checks a command's words against its verb; empty when the command is valid, else what is wrong.
std::string CheckScriptCommand(const std::vector<std::string>& words, ScriptVerb& verb);

// Reads a whole script (LF or CR LF lines); on the first bad line, false and its number and fault.
bool ParseScript(std::string_view text, std::vector<ScriptCommand>& commands, ScriptError& error);

// The message box result the word of an `answer` line stands for: "yes", "no", else OK.
int AnswerResult(std::string_view word);
// How every scripted program reports a box left open that no answer covers.
std::string UnansweredBoxError(std::u16string_view text);
// A script file's text, at most a megabyte of a regular file; false with "cannot read PATH: reason".
bool ReadScriptFile(const std::string& path, std::string& text, std::string& error);
