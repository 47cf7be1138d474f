#include "instrument/app/ScriptParser.h"

#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "platform/VirtualKeys.h"

#include "shared/fileio/HostFiles.h"

#include <array>

namespace {

using Words = std::vector<std::string>;

constexpr std::string_view kBlanks = " \t\r\v\f";

bool IsBlank(char c) {
    return kBlanks.find(c) != std::string_view::npos;
}

bool IsNumber(const std::string& text) {
    return !text.empty() && text.size() < 10 && text.find_first_not_of("0123456789") == std::string::npos;
}

bool IsKey(const std::string& name) {
    return platform::KeyFromName(name.c_str()) != 0;
}

// One command: how many words follow the verb, what else they must be, and the message for a line
// that breaks it.
struct VerbRule {
    ScriptVerb verb;
    const char* name;
    size_t args;
    bool (*valid)(const Words& w); // null: any words will do
    const char* usage;
};

constexpr std::array kVerbs = {
    VerbRule{ScriptVerb::Key, "key", 1, [](const Words& w) { return IsKey(w[1]); },
             "key needs one key name (VK_RIGHT, F1, T, ...)"},
    VerbRule{ScriptVerb::KeyDown, "keydown", 1, [](const Words& w) { return IsKey(w[1]); },
             "keydown needs one key name (VK_RIGHT, F1, T, ...)"},
    VerbRule{ScriptVerb::KeyUp, "keyup", 1, [](const Words& w) { return IsKey(w[1]); },
             "keyup needs one key name (VK_RIGHT, F1, T, ...)"},
    VerbRule{ScriptVerb::Hold, "hold", 2,
             [](const Words& w) { return IsKey(w[1]) && IsNumber(w[2]) && std::stoi(w[2]) >= 1; },
             "hold needs a key name and a count of key-downs"},
    VerbRule{ScriptVerb::Tap, "tap", 2, [](const Words& w) { return IsNumber(w[1]) && IsNumber(w[2]); },
             "tap needs X and Y in pixels"},
    VerbRule{ScriptVerb::Wait, "wait", 1, [](const Words& w) { return IsNumber(w[1]); },
             "wait needs milliseconds"},
    VerbRule{ScriptVerb::WaitIdle, "wait-idle", 0, nullptr, "wait-idle takes no arguments"},
    VerbRule{ScriptVerb::WaitTest, "wait-test", 0, nullptr, "wait-test takes no arguments"},
    VerbRule{ScriptVerb::Shot, "shot", 1,
             [](const Words& w) { return w[1].size() > 4 && w[1].ends_with(".png"); },
             "shot needs a NAME.png"},
    VerbRule{ScriptVerb::Load, "load", 1, nullptr, "load needs a FILE.st"},
    VerbRule{ScriptVerb::Save, "save", 1, nullptr, "save needs a FILE.st"},
    VerbRule{ScriptVerb::Dump, "dump", 1, nullptr, "dump needs a FILE.txt"},
    VerbRule{ScriptVerb::Power, "power", 0, nullptr, "power takes no arguments"},
    VerbRule{ScriptVerb::Usb, "usb", 1, [](const Words& w) { return w[1] == "insert" || w[1] == "remove"; },
             "usb needs insert or remove"},
    VerbRule{ScriptVerb::Answer, "answer", 1,
             [](const Words& w) { return w[1] == "yes" || w[1] == "no" || w[1] == "ok"; },
             "answer needs yes, no or ok"},
    VerbRule{ScriptVerb::Battery, "battery", 1,
             [](const Words& w) { return IsNumber(w[1]) && std::stoi(w[1]) <= 255; },
             "battery needs a level 0..255"},
    VerbRule{ScriptVerb::Type, "type", 1, [](const Words& w) { return !w[1].empty(); },
             "type needs the TEXT to type (in quotes when it holds blanks)"},
    VerbRule{ScriptVerb::Quit, "quit", 0, nullptr, "quit takes no arguments"},
};

} // namespace

bool SplitScriptLine(std::string_view line, std::vector<std::string>& words, std::string& error) {
    words.clear();
    size_t at = 0;
    while (true) {
        while (at < line.size() && IsBlank(line[at]))
            ++at;
        if (at == line.size())
            return true;
        const size_t start = at;
        std::string word;
        if (line[at] == '"') {
            for (++at; at < line.size() && line[at] != '"'; ++at) {
                if (line[at] == '\\' && at + 1 < line.size() && (line[at + 1] == '"' || line[at + 1] == '\\'))
                    ++at;
                word += line[at];
            }
            if (at == line.size()) {
                error = "unterminated quote: " + std::string(line.substr(start));
                return false;
            }
            ++at;
            if (at < line.size() && !IsBlank(line[at])) {
                error = "a closing quote must end the word: " + std::string(line.substr(start));
                return false;
            }
        } else {
            for (; at < line.size() && !IsBlank(line[at]); ++at) {
                if (line[at] == '"') {
                    error = "a quote must start the word: " + std::string(line.substr(start));
                    return false;
                }
                word += line[at];
            }
        }
        words.push_back(std::move(word));
    }
}

std::string CheckScriptCommand(const std::vector<std::string>& words, ScriptVerb& verb) {
    if (words.empty())
        return "no command";
    for (const VerbRule& rule : kVerbs) {
        if (words[0] != rule.name)
            continue;
        if (words.size() != rule.args + 1 || (rule.valid && !rule.valid(words)))
            return rule.usage;
        verb = rule.verb;
        return {};
    }
    return "unknown command '" + words[0] + "'";
}

bool ParseScript(std::string_view text, std::vector<ScriptCommand>& commands, ScriptError& error) {
    // An editor's byte-order mark is not part of the first command.
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    commands.clear();
    int line = 0;
    while (!text.empty()) {
        ++line;
        const size_t end = text.find('\n');
        std::string_view content = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (content.ends_with('\r'))
            content.remove_suffix(1);

        const size_t first = content.find_first_not_of(kBlanks);
        if (first == std::string_view::npos || content[first] == '#')
            continue;
        ScriptCommand command{line, ScriptVerb::Quit, {}};
        std::string problem;
        if (SplitScriptLine(content, command.words, problem))
            problem = CheckScriptCommand(command.words, command.verb);
        if (!problem.empty()) {
            error = ScriptError{line, problem};
            return false;
        }
        commands.push_back(std::move(command));
    }
    return true;
}

int AnswerResult(std::string_view word) {
    return word == "yes" ? platform::IDYES : word == "no" ? platform::IDNO : platform::IDOK;
}

std::string UnansweredBoxError(std::u16string_view text) {
    return "a message box is open that no answer covers: \"" + platform::Utf16ToUtf8(text) + "\"";
}

bool ReadScriptFile(const std::string& path, std::string& text, std::string& error) {
    std::vector<uint8_t> bytes;
    if (const fileio::ReadResult read = fileio::ReadRegularFile(path, bytes, 1u << 20);
        read != fileio::ReadResult::Ok) {
        error = "cannot read " + path + ": " + fileio::Describe(read);
        return false;
    }
    text.assign(bytes.begin(), bytes.end());
    return true;
}
