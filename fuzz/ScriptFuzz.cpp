// Arbitrary text as a Lumetra script. A parse must either name a line the text has, or give commands
// in line order that each pass their own check and whose words, written out again with quotes, parse
// to the same commands.
#include "instrument/app/ScriptParser.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::string Quoted(const std::string& word) {
    std::string out = "\"";
    for (const char c : word) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

int Lines(std::string_view text) {
    int lines = 1;
    for (const char c : text)
        lines += c == '\n';
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<ScriptCommand> commands;
    ScriptError error;
    if (!ParseScript(text, commands, error)) {
        if (error.line < 1 || error.line > Lines(text) || error.message.empty())
            std::abort();
        return 0;
    }
    std::string again;
    int last = 0;
    for (const ScriptCommand& command : commands) {
        ScriptVerb verb = ScriptVerb::Quit;
        if (command.line <= last || !CheckScriptCommand(command.words, verb).empty() || verb != command.verb)
            std::abort();
        last = command.line;
        for (const std::string& word : command.words)
            again += Quoted(word) + " ";
        again += "\n";
    }
    std::vector<ScriptCommand> reread;
    if (!ParseScript(again, reread, error) || reread.size() != commands.size())
        std::abort();
    for (size_t i = 0; i < commands.size(); ++i)
        if (reread[i].words != commands[i].words || reread[i].verb != commands[i].verb)
            std::abort();
    return 0;
}
